// Texts and captions that several subsystems show.
#pragma once

namespace dt::text {

inline constexpr const char* errorCaption = "エラー";
inline constexpr const char* endCaption = "終了";
inline constexpr const char* warningCaption = "警告";
inline constexpr const char* questionCaption = "確認";

inline constexpr const char* noInputImage = "入力画像が取り込まれていません。";
inline constexpr const char* noFilterImage = "フィルタ画像が取り込まれていません。";
inline constexpr const char* memoryFailure = "メモリ確保に失敗しました。";
inline constexpr const char* notBinaryImage = "現在の画像は２値画像ではありません。";
inline constexpr const char* nothingChosen = "処理内容が選択されていません。";
// Reported by the commands when timing is on.
inline constexpr const char* tookSecondsCommand = "%8.2f 秒かかりました。\n（最終結果描画時間は含みません）";
// Reported before the result is drawn, for the time of a morphology operation itself (erosion,
// opening and closing).
inline constexpr const char* tookSecondsOperation = "%8.2f 秒かかりました";

}  // namespace dt::text
