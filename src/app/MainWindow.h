// The main window: the menu, the command table that maps each menu command id to its handler, the
// 1300 x 1100 canvas with its backing bitmap, and the engine every command runs on.
//
// Each subsystem defines the handlers of its own commands in its own folder (src/<subsystem>/gui);
// the shell's commands are in ShellCommands.cpp, the input view's in src/image/gui.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QRect>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/Canvas.h"
#include "distance/TransformOperations.h"
#include "app/UndoHistory.h"
#include "image/ImageEngine.h"
#include "platform/Platform.h"

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QScrollArea;

namespace dt {

class OriginalFilterWindow;  // the triangle filter editor (src/morphology/gui)
class InputImageView;        // the separate view of the input image (src/image/gui)
class RunningCommand;        // what the window does while a command computes (app/)
class EnvelopePlot;          // the plot of one row's lower envelope (src/distance/gui)

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow();
  ~MainWindow() override;

  // Places the window at the top-left of the screen with an outer size of 1312 x 1150, as far as
  // the window system allows, and shows it.
  void PlaceAndShow();

  // Runs the handler of a menu command, exactly as choosing the menu item does. Running out of
  // memory in a command is a message; the program goes on.
  void TriggerCommand(int id);
  // The menu item of a command id, or null.
  QAction* ActionFor(int id) const;

  // Makes the canvas white. The images in memory are not touched.
  void ResetCanvas();
  // The drawing targets of one command: keep the result alive while the command draws.
  CanvasDrawing MakeDrawingTargets();
  // Shows on screen whatever the running command has drawn so far.
  void FlushDrawing() { canvas_->FlushDrawing(); }

  Canvas* canvas() const { return canvas_; }

  // Steps the image commands share. RequireBinaryImage tells the user when the current image is
  // not binary and returns false then. ReportCommandTime shows how long a timed command took,
  // from start to end in milliseconds of the window's clock.
  bool RequireBinaryImage();
  void ReportCommandTime(int64_t start, int64_t end);
  // Runs a computation on the input, with the menus off and its progress in the status bar; Esc
  // or 中止 stop it. When it is stopped or runs out of memory, the images are put back as they
  // were (for the command's final redraw to show) and a message says so; false then. The status
  // bar shows how long the computation took, without the copy of the images kept aside first,
  // nor `untimed`, run after it with the same care, for what the window alone needs.
  bool Compute(const std::function<void()>& computation,
               const std::function<void()>& untimed = nullptr);
  // The drawing targets of a computing command, paced so that each pass over the input can be
  // watched.
  CanvasDrawing MakeWatchableDrawing();

  // Asks for a file in the formats the window reads and writes; the name without its folder, or
  // nothing when the user cancels.
  std::optional<std::string> AskFileName(FileDialogRequest::Mode mode, const char* initialName);

  // Opens a picture given by its path (as a file manager hands it to the program) as the input,
  // as the load command does; once it is loaded its folder becomes the working directory, as
  // when it is chosen in the load dialog.
  void OpenGivenFile(const QString& path);

  // Opening and closing of the owned windows.
  void OpenInputView();
  void CloseInputView();
  void OpenFilterEditor();
  void CloseFilterEditor();

  // Menu handlers.
  void OnLoadInputImage();        // 40034
  void OnSample640();             // 40011
  void OnSample320();             // 40014
  void OnSample160();             // 40015
  void OnSampleSquare();          // 40018
  void OnRedisplayInputImage();   // 40005
  void OnInputView();             // 40040
  void OnSaveImage();             // 40035
  void OnDistanceTransform();     // 40036
  void OnDistanceMorphology();    // 40041
  void OnEditTriangleFilter();    // 40013
  void OnLoadFilterImage();       // 40038
  void OnFilterMorphology();      // 40042
  void OnRedisplayFilterImage();  // 40028
  void OnClearScreen();           // 40006
  void OnQuit();                  // 40007
  void OnVersion();               // 40043
  void OnZoomIn();                // 40120, Ctrl++ and Ctrl+wheel
  void OnZoomOut();               // 40121, Ctrl+- and Ctrl+wheel
  void OnZoomActual();            // 40122, Ctrl+0
  void OnZoomFit();               // 40123: the current picture as large as the window shows whole
  void OnRecentFile(int index);   // 40130 + index
  void OnEnvelopePlot();          // 40125: the next click on the canvas picks the row
  void OnVoronoiView();           // 40126: each pixel in its nearest feature region's colour

  // --- Teaching views (src/distance/gui/EnvelopeCommands.cpp) ---
  // Opens the envelope plot of a row of the current distance map (Shift+click, or the menu item
  // and a click); says why when there is no map of the last transform.
  void OpenEnvelopePlot(int row);
  // The last distance transform: the plot measures as it did.
  std::optional<TransformChoice> lastTransform;
  EnvelopePlot* envelopePlot = nullptr;  // the open plot, or null

  // The files loaded last, the newest first (kept in the user's settings).
  QStringList RecentFiles() const;

  // --- Views of the distance map (menu 表示; src/image/gui/ColourView.cpp) ---
  void OnColourDistanceView();  // 40100: the map in colour (viridis), with a legend
  void OnGreyDistanceView();    // 40101: the map in 16 greys, as the passes draw it
  // Whitens the colour view's legend if one is drawn. Every command that draws does so first,
  // so that no legend stays beside a picture it does not describe.
  void EraseColourLegend();
  QRect colourLegendArea;  // the colour view's legend in the backing bitmap; empty when none
  // --- end of the views of the distance map ---

  // --- Undo and redo (menu 編集; app/EditCommands.cpp) ---
  // Every command that changes the images (the loads, the transform and both morphologies) is a
  // step: 元に戻す puts the images back as they were before it and redraws them, やり直し goes
  // forward again.
  void OnUndo();  // 40140, Ctrl+Z
  void OnRedo();  // 40141, Ctrl+Y
  UndoHistory undoHistory;
  // --- end of undo and redo ---

  // --- The pace of the passes (menu 表示; app/ViewCommands.cpp) ---
  // How fast a computing command draws its passes: the usual pace scaled by a factor, or the
  // usual pace waiting after each pass until Space or 続行. Kept in the user's settings.
  enum class PassPace { quarter, normal, fourfold, passByPass };
  PassPace passPace() const { return passPace_; }
  void OnPaceQuarter();     // 40150
  void OnPaceNormal();      // 40151
  void OnPaceFourfold();    // 40152
  void OnPacePassByPass();  // 40153
  // --- end of the pace of the passes ---

  QImage backingBitmap;                       // 1300 x 1100, RGB32; every drawn pixel lands here
  OriginalFilterWindow* filterEditor = nullptr;  // the open triangle filter editor, or null
  InputImageView* inputView = nullptr;           // the open input view, or null
  ImageEngine engine;                            // the engine every command runs on

  // The clock that times the commands and paces repaints while they draw (tests may put in their
  // own).
  Clock* clock;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A picture file dropped on the window becomes the input image.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  friend class RunningCommand;
  void BuildMenu();
  void BuildStatusBar();
  void FitFrame();
  // Zooms the canvas keeping the bitmap pixel under `anchor` (a point of the view; by default the
  // middle of what shows of the picture) where it is.
  void SetZoom(Canvas::Zoom zoom, std::optional<QPoint> anchor = std::nullopt);
  void StepZoom(int steps, std::optional<QPoint> anchor = std::nullopt);
  // The status bar: the pixel under the pointer and its value, the picture's size and the zoom.
  void ShowPointed(QPoint pixel);
  void ShowPictureSize();
  // Over a distance map: the line to the pixel's nearest feature pixel (NearestView.cpp).
  void ShowNearest(QPoint pixel);
  // Lets go of what belongs to the last transform's map (after an undo or redo).
  void ForgetTransform();
  void RememberFile(const std::string& fileName);
  void ShowRecentFiles();
  // Loads an input file and draws it; nothing else happens when the file is bad (false then).
  // The images it replaces go to the undo step, which BeginUndoStep opened for a load.
  bool LoadAndShowInput(const std::string& fileName);
  // --- Undo steps (app/EditCommands.cpp) ---
  // Around a command (or a load) that may change the images; the status bar says when it cannot
  // be undone or old steps had to go. ShowUndoItems enables 元に戻す and やり直し when there is
  // something to undo or redo.
  enum class UndoStepKind { none, replacing, inputStays, whole };
  static UndoStepKind UndoStepOf(int id);
  void BeginUndoStep(UndoStepKind kind);
  void EndUndoStep();
  void ShowUndone(int dropped);
  void ShowUndoItems();
  // --- The pace of the passes (app/ViewCommands.cpp) ---
  void SetPassPace(PassPace pace);
  void ShowPassPace();

  Canvas* canvas_;
  QScrollArea* scrollArea_;
  QLabel* positionLabel_;
  QLabel* valueLabel_;
  QLabel* sizeLabel_;
  QLabel* runLabel_;                  // progress while a command runs, then its time
  QAbstractButton* stopButton_;       // 中止, enabled while a command computes
  QAbstractButton* continueButton_;   // 続行, enabled while a run waits after a pass
  PassPace passPace_ = PassPace::normal;
  RunningCommand* running_ = nullptr;  // the command computing now, if any
  QMenu* fileMenu_ = nullptr;          // 入出力管理, which ends with the recent files
  std::vector<QAction*> recentActions_;
  QPoint pointed_{-1, -1};
  std::map<int, void (MainWindow::*)()> commands_;
  std::map<int, QAction*> actions_;
  SteadyClock steadyClock_;
  bool fittingFrame_ = false;  // placed by PlaceAndShow, waiting for the window manager's frame
  QSize outerSize_{1312, 1150};  // what PlaceAndShow makes the frame's outer size
};

}  // namespace dt
