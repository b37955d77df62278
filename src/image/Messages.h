// Texts and captions that several subsystems show, marked for translation (platform/Translate.h).
#pragma once

#include "platform/Translate.h"

namespace dt::text {

inline constexpr const char* errorCaption = QT_TRANSLATE_NOOP("dtcore", "エラー");
inline constexpr const char* endCaption = QT_TRANSLATE_NOOP("dtcore", "終了");
inline constexpr const char* warningCaption = QT_TRANSLATE_NOOP("dtcore", "警告");
inline constexpr const char* questionCaption = QT_TRANSLATE_NOOP("dtcore", "確認");

inline constexpr const char* noInputImage =
    QT_TRANSLATE_NOOP("dtcore", "入力画像が取り込まれていません。");
inline constexpr const char* noFilterImage =
    QT_TRANSLATE_NOOP("dtcore", "フィルタ画像が取り込まれていません。");
inline constexpr const char* memoryFailure =
    QT_TRANSLATE_NOOP("dtcore", "メモリ確保に失敗しました。");
inline constexpr const char* notBinaryImage =
    QT_TRANSLATE_NOOP("dtcore", "現在の画像は２値画像ではありません。");
inline constexpr const char* nothingChosen =
    QT_TRANSLATE_NOOP("dtcore", "処理内容が選択されていません。");
// Reported by the commands when timing is on.
inline constexpr const char* tookSecondsCommand =
    QT_TRANSLATE_NOOP("dtcore", "%8.2f 秒かかりました。\n（最終結果描画時間は含みません）");
// Reported before the result is drawn, for the time of a morphology operation itself (erosion,
// opening and closing).
inline constexpr const char* tookSecondsOperation =
    QT_TRANSLATE_NOOP("dtcore", "%8.2f 秒かかりました");

}  // namespace dt::text
