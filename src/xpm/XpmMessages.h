// Texts that reading and writing XPM files show. Every failure is shown with the caption
// text::errorCaption and leaves the loaded images and any earlier file as they were.
#pragma once

namespace dt::text {

inline constexpr const char* cannotOpenFile = "ファイルが開けません。";
inline constexpr const char* notAFile = "通常のファイルではないため読めません。";
inline constexpr const char* fileTooLarge = "ファイルが大きすぎて読めません。";
inline constexpr const char* inputNotBinary = "入力画像が白黒２値画像ではありません。";
inline constexpr const char* filterNotBinary = "フィルタ画像が白黒２値画像ではありません。";
inline constexpr const char* inputNotOneCharPerPixel =
    "このＸＰＭに対応できません。\n１画素を１文字で定義してある必要があります。";
inline constexpr const char* filterNotOneCharPerPixel =
    "このＸＰＭには対応できません。\n１画素が１文字で定義されている必要があります。";

// Files that break the layout the reader relies on.
inline constexpr const char* fileTruncated =
    "ファイルの形式が正しくありません。\nファイルが途中で終わっています。";
inline constexpr const char* badImageSize =
    "ファイルの形式が正しくありません。\n画像の幅と高さは正の整数である必要があります。";
inline constexpr const char* sizeBeyondFile =
    "ファイルの形式が正しくありません。\n画像の幅と高さに見合うだけの画素がファイルにありません。";
inline constexpr const char* badHeaderNumber =
    "ファイルの形式が正しくありません。\n色数と１画素の文字数が読み取れません。";
// %d is the row, counted from 1.
inline constexpr const char* rowTooShort =
    "ファイルの形式が正しくありません。\n%d 行目の画素が画像の幅より少なくなっています。";
inline constexpr const char* rowTooLong =
    "ファイルの形式が正しくありません。\n%d 行目の画素が画像の幅より多くなっています。";
inline constexpr const char* tooFewRows =
    "ファイルの形式が正しくありません。\n画素の行が画像の高さより少なくなっています。";

// Pictures read by the picture codec.
inline constexpr const char* formatNotReadable = "この形式のファイルは読めません。";
// %d is the number of grey values found.
inline constexpr const char* inputHasGreys =
    "入力画像が白黒２値画像ではありません（%d 階調）。\n"
    "しきい値を指定すると白黒にできます。";
inline constexpr const char* filterHasGreys =
    "フィルタ画像が白黒２値画像ではありません（%d 階調）。\n"
    "しきい値を指定すると白黒にできます。";
// Asked by the window; %d is the number of grey values.
inline constexpr const char* askThreshold =
    "白黒２値画像ではありません（%d 階調）。\n"
    "明るさ 128 以上を白、それ未満を黒として読み込みますか？";
// %d × %d is the size the file's header gives.
inline constexpr const char* pictureTooLarge = "画像が大きすぎて読めません（%d × %d 画素）。";
inline constexpr const char* pictureBeyondFile =
    "ファイルの形式が正しくありません。\n"
    "画像の幅と高さ（%d × %d）に見合うだけのデータがファイルにありません。";
// %s is the picture library's own reason, in English.
inline constexpr const char* pictureUnreadable =
    "ファイルの形式が正しくありません。\n画像を読み込めませんでした（%s）。";

// Writing.
// %s lists the extensions that can hold the image.
inline constexpr const char* mapNotWritable =
    "距離画像はこの形式では保存できません。\n保存できる形式: %s";
inline constexpr const char* binaryNotWritable =
    "２値画像はこの形式では保存できません。\n保存できる形式: %s";
// %s is the picture library's own reason.
inline constexpr const char* cannotFormat = "画像を書き出せませんでした（%s）。";
inline constexpr const char* nothingToSave = "保存する画像がありません。";
// %lld is the number of distances above 65534 stored as 65535.
inline constexpr const char* valuesClipped =
    "65534 を超える距離値 %lld 画素分を 65535 として保存しました"
    "（65535 は特徴画素なしと同じ値です）。";
inline constexpr const char* negativeDistance = "距離値にマイナスが含まれています。";
inline constexpr const char* cannotWriteFile = "フィアルが開けません。";

}  // namespace dt::text
