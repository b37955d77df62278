#include "app/SampleFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace dt {

std::string FindSample(const std::string& name, const QString& programFolder) {
  const QString file = QFile::decodeName(name.c_str());
  // DT_SAMPLES_FROM_BIN (the installed samples seen from the programs' folder) and
  // DT_SOURCE_SAMPLES_DIR come from cmake/Install.cmake.
  const QStringList candidates{
      file, QDir::cleanPath(programFolder + "/" DT_SAMPLES_FROM_BIN "/" + file),
      QDir(QStringLiteral(DT_SOURCE_SAMPLES_DIR)).filePath(file)};
  for (const QString& path : candidates)
    if (QFileInfo(path).isFile()) return QFile::encodeName(path).toStdString();
  return name;
}

}  // namespace dt
