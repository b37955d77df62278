// The program as installed (the test install_tree installs it first, into DT_INSTALL_TREE): the
// sample commands find their pictures from any working directory, and a picture named at start
// is opened.
#include <QTemporaryDir>

#include "app/SampleFiles.h"
#include "gui/support/Gui.h"

using namespace dt;
using namespace dt::testing;

namespace {

std::string Source(const std::string& name) { return ReadText(DT_SAMPLES_DIR "/" + name); }

}  // namespace

class InstallTest : public QObject {
  Q_OBJECT

 private slots:
  // In a folder without pictures each sample is the installed copy of the source tree's, or for
  // a program not installed the source tree's own. A picture of the same name in the working
  // directory comes first, and one found nowhere keeps its bare name for the message.
  void TheSamplesAreFoundFromAnyFolder() {
    QTemporaryDir folder;
    Shell shell(folder.path());
    const QString bin = DT_INSTALL_TREE "/bin";
    QVERIFY2(QFileInfo(bin + "/dtdemo").isExecutable(), "nothing installed: run through ctest");
    for (const std::string name : {"sample1-640.xpm", "sample1-320.xpm", "sample1-160.xpm",
                                   "square.xpm"}) {
      const std::string found = FindSample(name, bin);
      QVERIFY2(found.rfind(DT_INSTALL_TREE "/", 0) == 0, found.c_str());
      QCOMPARE(ReadText(found), Source(name));
    }
    QCOMPARE(ReadText(FindSample("square.xpm", folder.path())), Source("square.xpm"));
    shell.window->TriggerCommand(40015);  // the test is not installed: the source tree's sample
    QCOMPARE(shell.Shows(ReadXpm(Source("sample1-160.xpm")).value_or(Grid())), QString());
    WriteText(folder.filePath("square.xpm").toStdString(), "x");
    QCOMPARE(FindSample("square.xpm", bin), std::string("square.xpm"));
    shell.window->TriggerCommand(40018);
    QVERIFY(shell.Texts().last().endsWith("\nsquare.xpm"));
    QCOMPARE(FindSample("none.xpm", bin), std::string("none.xpm"));
  }

  // `dtdemo FILE`: a bad picture is named in the usual message and the canvas stays empty; a
  // good one is shown and its folder becomes the working directory.
  void AFileGivenAtStartIsOpened() {
    QTemporaryDir folder;
    const QString bad = folder.filePath("bad.xpm"), good = folder.filePath("good.xpm");
    const Grid picture = ReadXpm(Source("sample1-160.xpm")).value_or(Grid());
    WriteText(bad.toStdString(), "\"4 3 2 1\",\n");
    WriteText(good.toStdString(), XpmOf(picture));
    Shell shell;
    shell.window->OpenGivenFile(bad);
    QVERIFY(shell.Texts().value(0).endsWith("\n" + bad) && shell.Shows(Grid()).isEmpty());
    QVERIFY(QFileInfo(QDir::currentPath()) == QFileInfo(DT_SAMPLES_DIR));
    shell.window->OpenGivenFile(good);
    QCOMPARE(shell.Shows(picture), QString());
    QVERIFY(QFileInfo(QDir::currentPath()) == QFileInfo(folder.path()));
  }
};

QTEST_MAIN(InstallTest)
#include "InstallTest.moc"
