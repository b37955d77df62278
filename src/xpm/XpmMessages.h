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

// Writing.
inline constexpr const char* negativeDistance = "距離値にマイナスが含まれています。";
inline constexpr const char* cannotWriteFile = "フィアルが開けません。";

}  // namespace dt::text
