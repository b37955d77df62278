// The menu command ids of the main window.
#pragma once

namespace dt::command {

inline constexpr int loadInputImage = 40034;
inline constexpr int sample640 = 40011;
inline constexpr int sample320 = 40014;
inline constexpr int sample160 = 40015;
inline constexpr int sampleSquare = 40018;
inline constexpr int redisplayInputImage = 40005;
inline constexpr int inputView = 40040;
inline constexpr int saveImage = 40035;
inline constexpr int distanceTransform = 40036;
inline constexpr int distanceMorphology = 40041;
inline constexpr int editTriangleFilter = 40013;
inline constexpr int loadFilterImage = 40038;
inline constexpr int filterMorphology = 40042;
inline constexpr int redisplayFilterImage = 40028;
inline constexpr int clearScreen = 40006;
inline constexpr int quit = 40007;
inline constexpr int version = 40043;
// Menu 表示 (src/image/gui/ColourView.cpp).
inline constexpr int colourDistanceView = 40100;
inline constexpr int greyDistanceView = 40101;

// The view menu and the recent files.
inline constexpr int zoomIn = 40120;
inline constexpr int zoomOut = 40121;
inline constexpr int zoomActual = 40122;
inline constexpr int zoomFit = 40123;
inline constexpr int envelopePlot = 40125;
inline constexpr int voronoiView = 40126;
inline constexpr int recentFile = 40130;  // 40130 to 40133, the newest first
inline constexpr int recentFiles = 4;

// Menu 編集: undo and redo of the commands that change the images (app/EditCommands.cpp).
inline constexpr int undo = 40140;
inline constexpr int redo = 40141;

// Menu 表示: how fast the passes of a computation are drawn (app/ViewCommands.cpp).
inline constexpr int paceQuarter = 40150;     // a quarter of the usual pace
inline constexpr int paceNormal = 40151;      // the usual pace, as at first
inline constexpr int paceFourfold = 40152;    // four times the usual pace
inline constexpr int pacePassByPass = 40153;  // the usual pace, waiting after each pass

}  // namespace dt::command
