<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Menu</name>
    <message>
        <source>入出力管理</source>
        <translation>File</translation>
    </message>
    <message>
        <source>入力画像取りこみ</source>
        <translation>Load Input Picture...</translation>
    </message>
    <message>
        <source>入力画像サンプル（640x480）</source>
        <translation>Sample Input (640x480)</translation>
    </message>
    <message>
        <source>入力画像サンプル（320x240）</source>
        <translation>Sample Input (320x240)</translation>
    </message>
    <message>
        <source>入力画像サンプル（160x120）</source>
        <translation>Sample Input (160x120)</translation>
    </message>
    <message>
        <source>入力画像サンプル（四角形）</source>
        <translation>Sample Input (Square)</translation>
    </message>
    <message>
        <source>入力画像再表示</source>
        <translation>Show Input Picture Again</translation>
    </message>
    <message>
        <source>入力画像別ウインドウ表示</source>
        <translation>Input Picture in Its Own Window</translation>
    </message>
    <message>
        <source>画像保存</source>
        <translation>Save Picture...</translation>
    </message>
    <message>
        <source>距離変換</source>
        <translation>Distance Transform</translation>
    </message>
    <message>
        <source>モルフォロジー演算</source>
        <translation>Morphology</translation>
    </message>
    <message>
        <source>距離変換によるモルフォロジー演算</source>
        <translation>Morphology by Distance Transform...</translation>
    </message>
    <message>
        <source>独自三角形フィルタ編集</source>
        <translation>Edit Custom Triangle Filter</translation>
    </message>
    <message>
        <source>フィルタ画像取りこみ</source>
        <translation>Load Filter Picture...</translation>
    </message>
    <message>
        <source>フィルタ画像によるモルフォロジー演算</source>
        <translation>Morphology by Filter Picture...</translation>
    </message>
    <message>
        <source>フィルタ画像再表示</source>
        <translation>Show Filter Picture Again</translation>
    </message>
    <message>
        <source>画面クリア</source>
        <translation>Clear Screen</translation>
    </message>
    <message>
        <source>終了(&amp;E)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>View</translation>
    </message>
    <message>
        <source>距離画像をカラーで表示</source>
        <translation>Distance Map in Colour</translation>
    </message>
    <message>
        <source>距離画像を16階調で表示</source>
        <translation>Distance Map in 16 Greys</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>Zoom In</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <source>等倍表示</source>
        <translation>Actual Size</translation>
    </message>
    <message>
        <source>ウインドウに合わせる</source>
        <translation>Fit to Window</translation>
    </message>
    <message>
        <source>行の下側包絡線を表示</source>
        <translation>Lower Envelope of a Row...</translation>
    </message>
    <message>
        <source>ボロノイ領域</source>
        <translation>Voronoi Regions</translation>
    </message>
    <message>
        <source>描画速度 0.25倍</source>
        <translation>Drawing Speed 0.25x</translation>
    </message>
    <message>
        <source>描画速度 1倍</source>
        <translation>Drawing Speed 1x</translation>
    </message>
    <message>
        <source>描画速度 4倍</source>
        <translation>Drawing Speed 4x</translation>
    </message>
    <message>
        <source>描画速度 パスごと</source>
        <translation>Drawing Speed: Pass by Pass</translation>
    </message>
    <message>
        <source>編集</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
</context>
<context>
    <name>dt::DistanceTransformDialog</name>
    <message>
        <source>距離変換</source>
        <translation>Distance Transform</translation>
    </message>
    <message>
        <source>アルゴリズム</source>
        <translation>Algorithm</translation>
    </message>
    <message>
        <source>距離関数</source>
        <translation>Distance function</translation>
    </message>
    <message>
        <source>（ＵＤＴアルゴリズム）</source>
        <translation>(UDT algorithm)</translation>
    </message>
</context>
<context>
    <name>dt::EnvelopePlot</name>
    <message>
        <source>下側包絡線（%1 行目）</source>
        <translation>Lower Envelope (Row %1)</translation>
    </message>
    <message>
        <source>%1 行目の候補と下側包絡線（縦軸: %2）</source>
        <translation>Candidates and lower envelope of row %1 (vertical axis: %2)</translation>
    </message>
    <message>
        <source>距離の２乗</source>
        <translation>squared distance</translation>
    </message>
    <message>
        <source>距離</source>
        <translation>distance</translation>
    </message>
    <message>
        <source>特徴画素なし</source>
        <translation>No feature pixel</translation>
    </message>
    <message>
        <source>距離 %1</source>
        <translation>Distance %1</translation>
    </message>
    <message>
        <source>列の特徴画素なし</source>
        <translation>no feature pixel in the column</translation>
    </message>
    <message>
        <source>&#x3000;勝った列 %1</source>
        <translation>   winning column %1</translation>
    </message>
    <message>
        <source>列 %1: %2&#x3000;%3%4</source>
        <translation>Column %1: %2   %3%4</translation>
    </message>
</context>
<context>
    <name>dt::FilterMorphologyDialog</name>
    <message>
        <source>フィルタ画像によるモルフォロジー演算</source>
        <translation>Morphology by Filter Picture</translation>
    </message>
    <message>
        <source>フィルタ画像ファイル名</source>
        <translation>Filter picture file</translation>
    </message>
    <message>
        <source>処理種別</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>アルゴリズム</source>
        <translation>Method</translation>
    </message>
</context>
<context>
    <name>dt::InputImageView</name>
    <message>
        <source>InputImageView</source>
        <translation>Input Picture</translation>
    </message>
</context>
<context>
    <name>dt::MainWindow</name>
    <message>
        <source>中止しました。画像は実行前の状態に戻しました。</source>
        <translation>Stopped. The pictures are as they were before the command.</translation>
    </message>
    <message>
        <source>処理時間 %1 ms</source>
        <translation>Time %1 ms</translation>
    </message>
    <message>
        <source>パス %1&#x3000;%2%</source>
        <translation>Pass %1   %2%</translation>
    </message>
    <message>
        <source>距離変換＆モルフォロジー演算デモソフト
Ver.0.48

《使用上の注意》
・画像ファイルは必ず実行ファイルと同じ場所においてください。
・入力画像の端の方に前景画素があるとうまくいかないことがあります。
・フィルタ画像は各行に最低ひとつは前景画素がないと１次元分解距離変換型は正常動作しません。</source>
        <translation>Distance Transform &amp; Morphology Demo
Ver.0.48

Notes on use:
- Keep the picture files in the same folder as the program.
- Foreground pixels near the edges of the input picture may give wrong results.
- The 1-D decomposed distance transform method works correctly only when every row of the filter picture has at least one foreground pixel.</translation>
    </message>
    <message>
        <source>保存しました: %1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>終了しますか？</source>
        <translation>Exit the program?</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>値 %1</source>
        <translation>Value %1</translation>
    </message>
    <message>
        <source>特徴画素なし</source>
        <translation>No feature pixel</translation>
    </message>
    <message>
        <source>距離 %1</source>
        <translation>Distance %1</translation>
    </message>
    <message>
        <source>%1 × %2&#x3000;</source>
        <translation>%1 × %2   </translation>
    </message>
    <message>
        <source>かなり処理に時間がかかります。
（参考：320x240画像をPentium133MHzで処理して１分以上かかります。）
（画像サイズ縦横倍になると処理時間は約 8倍になります。）

実行すると中断は出来ません。
その場合は強制終了してください。</source>
        <translation>This takes quite a long time.
(For reference: a 320x240 picture takes more than a minute on a 133 MHz Pentium.)
(Twice the width and height take about 8 times as long.)

Once it runs, it cannot be interrupted.
If need be, end the program by force.</translation>
    </message>
    <message>
        <source>めちゃくちゃ処理に時間がかかります。
（参考：160x120画像をPentium133MHzで処理して１分以上かかります。）
（画像サイズ縦横倍になると処理時間は約16倍になります。）

実行すると中断は出来ません。
その場合は強制終了してください。</source>
        <translation>This takes a very long time.
(For reference: a 160x120 picture takes more than a minute on a 133 MHz Pentium.)
(Twice the width and height take about 16 times as long.)

Once it runs, it cannot be interrupted.
If need be, end the program by force.</translation>
    </message>
    <message>
        <source>フィルタ画像を先に選択してください。</source>
        <translation>Choose a filter picture first.</translation>
    </message>
    <message>
        <source>フィルタの縦画素回だけ描画するため、
入力画像またはフィルタ画像が大きい場合
非常に時間がかかることがあります。

実行すると中断は出来ません。
その場合は強制終了してください。</source>
        <translation>It draws once for every pixel row of the filter,
so with a large input or filter picture
it can take a very long time.

Once it runs, it cannot be interrupted.
If need be, end the program by force.</translation>
    </message>
    <message>
        <source>現在の画像は距離画像ではありません。</source>
        <translation>The current picture is not a distance map.</translation>
    </message>
    <message>
        <source>距離</source>
        <translation>Distance</translation>
    </message>
    <message>
        <source>元に戻す履歴がメモリの上限を超えたため、古い操作 %1 件を削除しました。</source>
        <translation>The undo history reached its memory limit: the %1 oldest steps were dropped.</translation>
    </message>
    <message>
        <source>画像が大きすぎるため、この操作は元に戻せません。</source>
        <translation>The pictures are too large: this step cannot be undone.</translation>
    </message>
    <message>
        <source>メモリが足りないため、この操作は元に戻せません。</source>
        <translation>Not enough memory: this step cannot be undone.</translation>
    </message>
    <message>
        <source>パス %1 終了&#x3000;Space または 続行 で次のパスへ</source>
        <translation>Pass %1 done   Space or Continue for the next pass</translation>
    </message>
    <message>
        <source>続行</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>下側包絡線を表示する行を距離画像の上でクリックしてください。</source>
        <translation>Click the row of the distance map whose lower envelope to show.</translation>
    </message>
    <message>
        <source>距離変換の結果の距離画像がありません。</source>
        <translation>There is no distance map from a distance transform.</translation>
    </message>
    <message>
        <source>&#x3000;最近傍の特徴画素 (%1, %2)</source>
        <translation>   nearest feature pixel (%1, %2)</translation>
    </message>
</context>
<context>
    <name>dt::MorphologyDialog</name>
    <message>
        <source>距離変換(UDT)を用いたモルフォロジー演算</source>
        <translation>Morphology by Distance Transform (UDT)</translation>
    </message>
    <message>
        <source>処理種別</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>フィルタ形状</source>
        <translation>Filter shape</translation>
    </message>
    <message>
        <source>フィルタサイズ（円半径に相当）</source>
        <translation>Filter size (circle radius)</translation>
    </message>
</context>
<context>
    <name>dt::OptionDialog</name>
    <message>
        <source>その他設定</source>
        <translation>Other settings</translation>
    </message>
    <message>
        <source>処理時間を計測する（有効にすると処理過程を描画しません。）</source>
        <translation>Measure the time (the steps are not drawn while it is on)</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>dt::OriginalFilterWindow</name>
    <message>
        <source>OriginalFilterWindow</source>
        <translation>Custom Triangle Filter</translation>
    </message>
</context>
<context>
    <name>dtcore</name>
    <message>
        <source>画像サイズは %d × %d です。</source>
        <translation>The picture is %d × %d pixels.</translation>
    </message>
    <message>
        <source>Euclid 距離 [●]</source>
        <translation>Euclidean distance [●]</translation>
    </message>
    <message>
        <source>[●] 円形フィルタ</source>
        <translation>[●] Circle filter</translation>
    </message>
    <message>
        <source>CItyblock 距離 [◆]</source>
        <translation>City-block distance [◆]</translation>
    </message>
    <message>
        <source>[◆] ダイヤモンド型フィルタ</source>
        <translation>[◆] Diamond filter</translation>
    </message>
    <message>
        <source>Chessborad 距離 [■]</source>
        <translation>Chessboard distance [■]</translation>
    </message>
    <message>
        <source>[■] 正方形フィルタ</source>
        <translation>[■] Square filter</translation>
    </message>
    <message>
        <source>オリジナル三角形距離 [▲]</source>
        <translation>Custom triangle distance [▲]</translation>
    </message>
    <message>
        <source>[▲] 三角形フィルタ</source>
        <translation>[▲] Triangle filter</translation>
    </message>
    <message>
        <source>距離変換アルゴリズム１ Ｏ(n^2)</source>
        <translation>Distance transform algorithm 1, O(n^2)</translation>
    </message>
    <message>
        <source>距離変換アルゴリズム２ Ｏ(n^3)</source>
        <translation>Distance transform algorithm 2, O(n^3)</translation>
    </message>
    <message>
        <source>単純距離変換 Ｏ(n^4)</source>
        <translation>Simple distance transform, O(n^4)</translation>
    </message>
    <message>
        <source>Dilation（太め処理）</source>
        <translation>Dilation (thicken)</translation>
    </message>
    <message>
        <source>Erosion（細め処理）</source>
        <translation>Erosion (thin)</translation>
    </message>
    <message>
        <source>Opening（正雑音除去）</source>
        <translation>Opening (remove specks)</translation>
    </message>
    <message>
        <source>Closing（負雑音除去）</source>
        <translation>Closing (fill holes)</translation>
    </message>
    <message>
        <source>単純法</source>
        <translation>Simple method</translation>
    </message>
    <message>
        <source>１次元分解距離変換法</source>
        <translation>1-D decomposed distance transform</translation>
    </message>
    <message>
        <source>画像サイズは %d × %d です。
白黒比率は %d：%d です。</source>
        <translation>The picture is %d × %d pixels.
White to black: %d to %d.</translation>
    </message>
    <message>
        <source>距離変換＆モルフォロジー演算デモ</source>
        <translation>Distance Transform &amp; Morphology Demo</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>入力画像が取り込まれていません。</source>
        <translation>No input picture has been loaded.</translation>
    </message>
    <message>
        <source>フィルタ画像が取り込まれていません。</source>
        <translation>No filter picture has been loaded.</translation>
    </message>
    <message>
        <source>メモリ確保に失敗しました。</source>
        <translation>Out of memory: the memory could not be allocated.</translation>
    </message>
    <message>
        <source>現在の画像は２値画像ではありません。</source>
        <translation>The current picture is not a binary (black and white) picture.</translation>
    </message>
    <message>
        <source>処理内容が選択されていません。</source>
        <translation>No operation has been chosen.</translation>
    </message>
    <message>
        <source>%8.2f 秒かかりました。
（最終結果描画時間は含みません）</source>
        <translation>It took %.2f seconds.
(Drawing the final result is not included.)</translation>
    </message>
    <message>
        <source>%8.2f 秒かかりました</source>
        <translation>It took %.2f seconds</translation>
    </message>
    <message>
        <source>入力が距離変換結果ではありません。</source>
        <translation>The input is not the result of a distance transform.</translation>
    </message>
    <message>
        <source>ファイルが開けません。</source>
        <translation>The file cannot be opened.</translation>
    </message>
    <message>
        <source>通常のファイルではないため読めません。</source>
        <translation>This cannot be read: it is not a regular file.</translation>
    </message>
    <message>
        <source>ファイルが大きすぎて読めません。</source>
        <translation>The file is too large to read.</translation>
    </message>
    <message>
        <source>入力画像が白黒２値画像ではありません。</source>
        <translation>The input picture is not black and white.</translation>
    </message>
    <message>
        <source>フィルタ画像が白黒２値画像ではありません。</source>
        <translation>The filter picture is not black and white.</translation>
    </message>
    <message>
        <source>このＸＰＭに対応できません。
１画素を１文字で定義してある必要があります。</source>
        <translation>This XPM is not supported.
Each pixel must be given by one character.</translation>
    </message>
    <message>
        <source>このＸＰＭには対応できません。
１画素が１文字で定義されている必要があります。</source>
        <translation>This XPM is not supported.
Each pixel must be given by one character.</translation>
    </message>
    <message>
        <source>ファイルの形式が正しくありません。
ファイルが途中で終わっています。</source>
        <translation>The file&apos;s format is not right.
The file ends too early.</translation>
    </message>
    <message>
        <source>ファイルの形式が正しくありません。
画像の幅と高さは正の整数である必要があります。</source>
        <translation>The file&apos;s format is not right.
The picture&apos;s width and height must be positive whole numbers.</translation>
    </message>
    <message>
        <source>ファイルの形式が正しくありません。
画像の幅と高さに見合うだけの画素がファイルにありません。</source>
        <translation>The file&apos;s format is not right.
The file holds fewer pixels than the picture&apos;s width and height need.</translation>
    </message>
    <message>
        <source>ファイルの形式が正しくありません。
色数と１画素の文字数が読み取れません。</source>
        <translation>The file&apos;s format is not right.
The number of colours and of characters per pixel cannot be read.</translation>
    </message>
    <message>
        <source>ファイルの形式が正しくありません。
%d 行目の画素が画像の幅より少なくなっています。</source>
        <translation>The file&apos;s format is not right.
Row %d has fewer pixels than the picture is wide.</translation>
    </message>
    <message>
        <source>ファイルの形式が正しくありません。
%d 行目の画素が画像の幅より多くなっています。</source>
        <translation>The file&apos;s format is not right.
Row %d has more pixels than the picture is wide.</translation>
    </message>
    <message>
        <source>ファイルの形式が正しくありません。
画素の行が画像の高さより少なくなっています。</source>
        <translation>The file&apos;s format is not right.
There are fewer rows of pixels than the picture is high.</translation>
    </message>
    <message>
        <source>この形式のファイルは読めません。</source>
        <translation>Files of this format cannot be read.</translation>
    </message>
    <message>
        <source>入力画像が白黒２値画像ではありません（%d 階調）。
しきい値を指定すると白黒にできます。</source>
        <translation>The input picture is not black and white (%d grey values).
A threshold makes it black and white.</translation>
    </message>
    <message>
        <source>フィルタ画像が白黒２値画像ではありません（%d 階調）。
しきい値を指定すると白黒にできます。</source>
        <translation>The filter picture is not black and white (%d grey values).
A threshold makes it black and white.</translation>
    </message>
    <message>
        <source>白黒２値画像ではありません（%d 階調）。
明るさ 128 以上を白、それ未満を黒として読み込みますか？</source>
        <translation>The picture is not black and white (%d grey values).
Read it with brightness 128 and above as white and the rest as black?</translation>
    </message>
    <message>
        <source>画像が大きすぎて読めません（%d × %d 画素）。</source>
        <translation>The picture is too large to read (%d × %d pixels).</translation>
    </message>
    <message>
        <source>ファイルの形式が正しくありません。
画像の幅と高さ（%d × %d）に見合うだけのデータがファイルにありません。</source>
        <translation>The file&apos;s format is not right.
The file holds less data than a picture of %d × %d pixels needs.</translation>
    </message>
    <message>
        <source>ファイルの形式が正しくありません。
画像を読み込めませんでした（%s）。</source>
        <translation>The file&apos;s format is not right.
The picture could not be read (%s).</translation>
    </message>
    <message>
        <source>距離画像はこの形式では保存できません。
保存できる形式: %s</source>
        <translation>A distance map cannot be saved in this format.
Formats that can hold it: %s</translation>
    </message>
    <message>
        <source>２値画像はこの形式では保存できません。
保存できる形式: %s</source>
        <translation>A binary picture cannot be saved in this format.
Formats that can hold it: %s</translation>
    </message>
    <message>
        <source>画像を書き出せませんでした（%s）。</source>
        <translation>The picture could not be written (%s).</translation>
    </message>
    <message>
        <source>保存する画像がありません。</source>
        <translation>There is no picture to save.</translation>
    </message>
    <message>
        <source>65534 を超える距離値 %lld 画素分を 65535 として保存しました（65535 は特徴画素なしと同じ値です）。</source>
        <translation>%lld distances above 65534 were saved as 65535 (the value that also stands for no feature pixel).</translation>
    </message>
    <message>
        <source>距離値にマイナスが含まれています。</source>
        <translation>The distances include negative values.</translation>
    </message>
    <message>
        <source>フィアルが開けません。</source>
        <translation>The file cannot be written.</translation>
    </message>
</context>
</TS>
