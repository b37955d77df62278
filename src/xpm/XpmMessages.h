// Texts that reading and writing XPM files show, marked for translation (platform/Translate.h).
// Every failure is shown with the caption text::errorCaption and leaves the loaded images and any
// earlier file as they were.
#pragma once

#include "platform/Translate.h"

namespace dt::text {

inline constexpr const char* cannotOpenFile = QT_TRANSLATE_NOOP("dtcore", "ファイルが開けません。");
inline constexpr const char* notAFile =
    QT_TRANSLATE_NOOP("dtcore", "通常のファイルではないため読めません。");
inline constexpr const char* fileTooLarge =
    QT_TRANSLATE_NOOP("dtcore", "ファイルが大きすぎて読めません。");
inline constexpr const char* inputNotBinary =
    QT_TRANSLATE_NOOP("dtcore", "入力画像が白黒２値画像ではありません。");
inline constexpr const char* filterNotBinary =
    QT_TRANSLATE_NOOP("dtcore", "フィルタ画像が白黒２値画像ではありません。");
inline constexpr const char* inputNotOneCharPerPixel =
    QT_TRANSLATE_NOOP("dtcore", "このＸＰＭに対応できません。\n"
                                "１画素を１文字で定義してある必要があります。");
inline constexpr const char* filterNotOneCharPerPixel =
    QT_TRANSLATE_NOOP("dtcore", "このＸＰＭには対応できません。\n"
                                "１画素が１文字で定義されている必要があります。");

// Files that break the layout the reader relies on.
inline constexpr const char* fileTruncated =
    QT_TRANSLATE_NOOP("dtcore", "ファイルの形式が正しくありません。\n"
                                "ファイルが途中で終わっています。");
inline constexpr const char* badImageSize =
    QT_TRANSLATE_NOOP("dtcore", "ファイルの形式が正しくありません。\n"
                                "画像の幅と高さは正の整数である必要があります。");
inline constexpr const char* sizeBeyondFile =
    QT_TRANSLATE_NOOP("dtcore", "ファイルの形式が正しくありません。\n"
                                "画像の幅と高さに見合うだけの画素がファイルにありません。");
inline constexpr const char* badHeaderNumber =
    QT_TRANSLATE_NOOP("dtcore", "ファイルの形式が正しくありません。\n"
                                "色数と１画素の文字数が読み取れません。");
// %d is the row, counted from 1.
inline constexpr const char* rowTooShort =
    QT_TRANSLATE_NOOP("dtcore", "ファイルの形式が正しくありません。\n"
                                "%d 行目の画素が画像の幅より少なくなっています。");
inline constexpr const char* rowTooLong =
    QT_TRANSLATE_NOOP("dtcore", "ファイルの形式が正しくありません。\n"
                                "%d 行目の画素が画像の幅より多くなっています。");
inline constexpr const char* tooFewRows =
    QT_TRANSLATE_NOOP("dtcore", "ファイルの形式が正しくありません。\n"
                                "画素の行が画像の高さより少なくなっています。");

// Pictures read by the picture codec.
inline constexpr const char* formatNotReadable =
    QT_TRANSLATE_NOOP("dtcore", "この形式のファイルは読めません。");
// %d is the number of grey values found.
inline constexpr const char* inputHasGreys =
    QT_TRANSLATE_NOOP("dtcore", "入力画像が白黒２値画像ではありません（%d 階調）。\n"
                                "しきい値を指定すると白黒にできます。");
inline constexpr const char* filterHasGreys =
    QT_TRANSLATE_NOOP("dtcore", "フィルタ画像が白黒２値画像ではありません（%d 階調）。\n"
                                "しきい値を指定すると白黒にできます。");
// Asked by the window; %d is the number of grey values.
inline constexpr const char* askThreshold =
    QT_TRANSLATE_NOOP("dtcore", "白黒２値画像ではありません（%d 階調）。\n"
                                "明るさ 128 以上を白、それ未満を黒として読み込みますか？");
// %d × %d is the size the file's header gives.
inline constexpr const char* pictureTooLarge =
    QT_TRANSLATE_NOOP("dtcore", "画像が大きすぎて読めません（%d × %d 画素）。");
inline constexpr const char* pictureBeyondFile =
    QT_TRANSLATE_NOOP("dtcore", "ファイルの形式が正しくありません。\n"
                                "画像の幅と高さ（%d × %d）に見合うだけのデータがファイルにありません。");
// %s is the picture library's own reason, in English.
inline constexpr const char* pictureUnreadable =
    QT_TRANSLATE_NOOP("dtcore", "ファイルの形式が正しくありません。\n"
                                "画像を読み込めませんでした（%s）。");

// Writing.
// %s lists the extensions that can hold the image.
inline constexpr const char* mapNotWritable =
    QT_TRANSLATE_NOOP("dtcore", "距離画像はこの形式では保存できません。\n保存できる形式: %s");
inline constexpr const char* binaryNotWritable =
    QT_TRANSLATE_NOOP("dtcore", "２値画像はこの形式では保存できません。\n保存できる形式: %s");
// %s is the picture library's own reason.
inline constexpr const char* cannotFormat =
    QT_TRANSLATE_NOOP("dtcore", "画像を書き出せませんでした（%s）。");
inline constexpr const char* nothingToSave =
    QT_TRANSLATE_NOOP("dtcore", "保存する画像がありません。");
// %lld is the number of distances above 65534 stored as 65535.
inline constexpr const char* valuesClipped =
    QT_TRANSLATE_NOOP("dtcore", "65534 を超える距離値 %lld 画素分を 65535 として保存しました"
                                "（65535 は特徴画素なしと同じ値です）。");
inline constexpr const char* negativeDistance =
    QT_TRANSLATE_NOOP("dtcore", "距離値にマイナスが含まれています。");
inline constexpr const char* cannotWriteFile = QT_TRANSLATE_NOOP("dtcore", "フィアルが開けません。");

}  // namespace dt::text
