<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CubeProgressWindow</name>
    <message>
        <source>３Ｄ立方体ボックスカウント</source>
        <translation>3D Cube Box Counting</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>スライス %1 / %2</source>
        <translation>Slice %1 of %2</translation>
    </message>
</context>
<context>
    <name>CubeSettingsDialog</name>
    <message>
        <source>３Ｄ立方体ボックスカウント</source>
        <translation>3D Cube Box Counting</translation>
    </message>
    <message>
        <source>スライスの積み重ね（フォルダ、連番、複数ページTIFF）</source>
        <translation>Slice stack (folder, numbered series, multi-page TIFF)</translation>
    </message>
    <message>
        <source>ファイル...</source>
        <translation>File...</translation>
    </message>
    <message>
        <source>フォルダ...</source>
        <translation>Folder...</translation>
    </message>
    <message>
        <source>最初のスライス</source>
        <translation>First slice</translation>
    </message>
    <message>
        <source>最後のスライス</source>
        <translation>Last slice</translation>
    </message>
    <message>
        <source>画素の大きさ (mm)</source>
        <translation>Pixel size (mm)</translation>
    </message>
    <message>
        <source>スライスの間隔 (mm)</source>
        <translation>Slice distance (mm)</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 (%2 / %3 ページ)</source>
        <translation>%1 (page %2 of %3)</translation>
    </message>
    <message>
        <source>スライス数: %1</source>
        <translation>Slices: %1</translation>
    </message>
</context>
<context>
    <name>DesktopPlatform</name>
    <message>
        <source>ページの選択</source>
        <translation>Choose a Page</translation>
    </message>
    <message>
        <source>%1 には %2 ページあります。
開くページ:</source>
        <translation>%1 has %2 pages.
Page to open:</translation>
    </message>
</context>
<context>
    <name>LacunarityDialog</name>
    <message>
        <source>ラクナリティ</source>
        <translation>Lacunarity</translation>
    </message>
    <message>
        <source>方法</source>
        <translation>Method</translation>
    </message>
    <message>
        <source>グライディングボックス</source>
        <translation>Gliding box</translation>
    </message>
    <message>
        <source>固定グリッド</source>
        <translation>Fixed grid</translation>
    </message>
    <message>
        <source>空の箱も数える</source>
        <translation>Count empty boxes too</translation>
    </message>
    <message>
        <source>箱の辺 (ピクセル)</source>
        <translation>Box sides (pixels)</translation>
    </message>
    <message>
        <source>既定 (1, 2, 4, … 短辺の半分まで)</source>
        <translation>Default (1, 2, 4, … to half the shorter edge)</translation>
    </message>
    <message>
        <source>指定</source>
        <translation>List</translation>
    </message>
</context>
<context>
    <name>LacunarityWindow</name>
    <message>
        <source>サイズ, Λ, λ</source>
        <translation>Size, Λ, λ</translation>
    </message>
    <message>
        <source>ラクナリティ</source>
        <translation>Lacunarity</translation>
    </message>
    <message>
        <source>log10(ボックスサイズ)</source>
        <translation>log10(box size)</translation>
    </message>
    <message>
        <source>log10(ラクナリティ)</source>
        <translation>log10(lacunarity)</translation>
    </message>
    <message>
        <source>ボックスサイズとラクナリティの関係</source>
        <translation>Box size and lacunarity</translation>
    </message>
    <message>
        <source>グライディングボックス</source>
        <translation>gliding box</translation>
    </message>
    <message>
        <source>固定グリッド, 空の箱を含む</source>
        <translation>fixed grid, empty boxes included</translation>
    </message>
    <message>
        <source>固定グリッド, 空の箱を除く</source>
        <translation>fixed grid, empty boxes left out</translation>
    </message>
    <message>
        <source>傾き = %1%2</source>
        <translation>slope = %1%2</translation>
    </message>
    <message>
        <source>, r² = %1</source>
        <translation>, r² = %1</translation>
    </message>
    <message>
        <source>, n = %1</source>
        <translation>, n = %1</translation>
    </message>
    <message>
        <source>%1, 占有 %2 ピクセル</source>
        <translation>%1, %2 occupied pixels</translation>
    </message>
</context>
<context>
    <name>MassDialogs</name>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>MassResultWindow</name>
    <message>
        <source>グラフを画像として保存...</source>
        <translation>Save chart as image...</translation>
    </message>
    <message>
        <source>値をCSVで保存...</source>
        <translation>Save values as CSV...</translation>
    </message>
</context>
<context>
    <name>MeasureSettingsDialog</name>
    <message>
        <source>測定の設定</source>
        <translation>Measurement settings</translation>
    </message>
    <message>
        <source>グリッドの位置</source>
        <translation>Grid placement</translation>
    </message>
    <message>
        <source>領域の左上から（既定）</source>
        <translation>From the region's top left (default)</translation>
    </message>
    <message>
        <source>サイズ毎に個数が最小になる位置</source>
        <translation>Where each size counts least</translation>
    </message>
    <message>
        <source>直線を当てはめるサイズ</source>
        <translation>Sizes fitted</translation>
    </message>
    <message>
        <source>すべてのサイズ（既定）</source>
        <translation>All sizes (default)</translation>
    </message>
    <message>
        <source>自動（局所勾配の平坦部）</source>
        <translation>Automatic (local-slope plateau)</translation>
    </message>
    <message>
        <source>指定:</source>
        <translation>Sizes:</translation>
    </message>
    <message>
        <source>～</source>
        <translation>to</translation>
    </message>
    <message>
        <source>黒の次元と黒以外の次元に使います。</source>
        <translation>Used by the black and non-black dimensions.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>不正な浮動小数点数演算命令</source>
        <translation>Invalid floating point operation</translation>
    </message>
    <message>
        <source>0 による浮動小数点数除算</source>
        <translation>Floating point division by zero</translation>
    </message>
    <message>
        <source>&apos;%s&apos; は整数ではありません</source>
        <translation>'%s' is not a valid integer value</translation>
    </message>
    <message>
        <source>&apos;%s&apos; は浮動小数点数ではありません</source>
        <translation>'%s' is not a valid floating point value</translation>
    </message>
    <message>
        <source>ファイル %s は開けません</source>
        <translation>Cannot open file %s</translation>
    </message>
    <message>
        <source>ファイル %s を作成できません</source>
        <translation>Cannot create file %s</translation>
    </message>
    <message>
        <source>ビットマップイメージが不正です</source>
        <translation>Bitmap image is not valid</translation>
    </message>
    <message>
        <source>拡張子 .%s の画像形式は処理できません</source>
        <translation>Unknown picture file extension (.%s)</translation>
    </message>
    <message>
        <source>画像ファイル %s を読み込めません</source>
        <translation>Cannot read image file %s</translation>
    </message>
    <message>
        <source>画像ファイル %s は大きすぎて表示できません。コマンドライン (dimora3-cli) なら測定できます</source>
        <translation>Image file %s is too large to show. The command line (dimora3-cli) can measure it</translation>
    </message>
    <message>
        <source>フォルダ %s に画像ファイルがありません</source>
        <translation>No image files in folder %s</translation>
    </message>
    <message>
        <source>スライス %s の大きさが最初のスライスと違います</source>
        <translation>Slice %s differs in size from the first slice</translation>
    </message>
    <message>
        <source>画像ファイル %s はグレーの PNG か TIFF ではありません</source>
        <translation>Image file %s is not a grey PNG or TIFF</translation>
    </message>
    <message>
        <source>マスク %s の大きさが画像と違います</source>
        <translation>Mask %s differs in size from the image</translation>
    </message>
    <message>
        <source>ラベル画像 %s の大きさが画像と違います</source>
        <translation>Label image %s differs in size from the image</translation>
    </message>
    <message>
        <source>ラベル画像 %s に物体がありません</source>
        <translation>Label image %s holds no object</translation>
    </message>
    <message>
        <source>スライス %s (%d 枚目) を読み込めません</source>
        <translation>Cannot read slice %d (%s)</translation>
    </message>
    <message>
        <source>ボクセルの大きさは正の数でなければなりません</source>
        <translation>The voxel size must be a positive number</translation>
    </message>
    <message>
        <source>ボクセルの X と Y は同じ長さでなければなりません</source>
        <translation>The voxel&apos;s X and Y must be equal</translation>
    </message>
    <message>
        <source>領域に占有ピクセルがありません</source>
        <translation>The region holds no occupied pixel</translation>
    </message>
    <message>
        <source>領域に質量がありません</source>
        <translation>The region holds no mass</translation>
    </message>
    <message>
        <source>一辺 %s ピクセルの箱は領域に収まりません</source>
        <translation>A box of side %s pixels does not fit in the region</translation>
    </message>
    <message>
        <source>一辺 %s ピクセルの箱はすべて空です</source>
        <translation>Every box of side %s pixels is empty</translation>
    </message>
    <message>
        <source>質量に負の値か数でない値があります</source>
        <translation>A mass is negative or not a number</translation>
    </message>
    <message>
        <source>ファイルへのアクセスが拒否されました</source>
        <translation>File access denied</translation>
    </message>
    <message>
        <source>ディスクがいっぱいです</source>
        <translation>Disk full</translation>
    </message>
    <message>
        <source>I/O エラー (%s)</source>
        <translation>I/O error (%s)</translation>
    </message>
    <message>
        <source>ビットマップを持っている時のみイメージの変更が可能です</source>
        <translation>Can only modify an image if it contains a bitmap</translation>
    </message>
    <message>
        <source>クリップボードはアイコンには対応していません</source>
        <translation>Clipboard does not support icons</translation>
    </message>
    <message>
        <source>q の範囲は 最初 ≦ 最後、刻み &gt; 0 で指定してください</source>
        <translation>The q range needs From ≤ To and Step &gt; 0</translation>
    </message>
</context>
<context>
    <name>MultifractalDialog</name>
    <message>
        <source>マルチフラクタル スペクトル</source>
        <translation>Multifractal Spectrum</translation>
    </message>
    <message>
        <source>質量</source>
        <translation>Mass</translation>
    </message>
    <message>
        <source>黒 (黒の画素ごとに 1)</source>
        <translation>Black (1 per black pixel)</translation>
    </message>
    <message>
        <source>グレー (ファイルの階調のまま)</source>
        <translation>Gray (the file's own levels)</translation>
    </message>
    <message>
        <source>q の範囲</source>
        <translation>q range</translation>
    </message>
    <message>
        <source>最初</source>
        <translation>From</translation>
    </message>
    <message>
        <source>最後</source>
        <translation>To</translation>
    </message>
    <message>
        <source>刻み</source>
        <translation>Step</translation>
    </message>
</context>
<context>
    <name>MultifractalWindow</name>
    <message>
        <source>q, D_q, α, f</source>
        <translation>q, D_q, α, f</translation>
    </message>
    <message>
        <source>マルチフラクタル スペクトル</source>
        <translation>Multifractal Spectrum</translation>
    </message>
    <message>
        <source>質量: 黒</source>
        <translation>mass: black</translation>
    </message>
    <message>
        <source>質量: グレー (ファイルの階調)</source>
        <translation>mass: gray (the file's own levels)</translation>
    </message>
    <message>
        <source>質量: グレー (画像の 8 ビット値)</source>
        <translation>mass: gray (the picture's 8-bit values)</translation>
    </message>
    <message>
        <source>, 辺 %1–%2</source>
        <translation>, sides %1–%2</translation>
    </message>
</context>
<context>
    <name>TAboutBox</name>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>作者：Dimora3 開発者</source>
        <translation>Author: Dimora3 team</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>help.htm</source>
        <translation>help_en.htm</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>画像を開く(BMP)</source>
        <translation>Open Image</translation>
    </message>
    <message>
        <source>画像を別名で保存(BMP)</source>
        <translation>Save Image As</translation>
    </message>
    <message>
        <source>ベタファイル(G1)保存</source>
        <translation>Save Flat File (G1)</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>編集</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>貼り付け(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>画像加工</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>％変換</source>
        <translation>Percent Colours</translation>
    </message>
    <message>
        <source>しきい値変更</source>
        <translation>Change Threshold</translation>
    </message>
    <message>
        <source>緑部抽出</source>
        <translation>Extract Green</translation>
    </message>
    <message>
        <source>赤部抽出</source>
        <translation>Extract Red</translation>
    </message>
    <message>
        <source>ネガポジ反転</source>
        <translation>Negative/Positive</translation>
    </message>
    <message>
        <source>グレースケール化</source>
        <translation>Grayscale</translation>
    </message>
    <message>
        <source>細線化</source>
        <translation>Thinning</translation>
    </message>
    <message>
        <source>フラクタル次元</source>
        <translation>Fractal Dimension</translation>
    </message>
    <message>
        <source>黒の次元</source>
        <translation>Dimension of Black</translation>
    </message>
    <message>
        <source>黒以外の次元</source>
        <translation>Dimension of Non-Black</translation>
    </message>
    <message>
        <source>グレースケールの次元</source>
        <translation>Dimension of Grayscale</translation>
    </message>
    <message>
        <source>サイズ毎の個数表示</source>
        <translation>Counts per Size</translation>
    </message>
    <message>
        <source>黒の総延長</source>
        <translation>Total Length of Black</translation>
    </message>
    <message>
        <source>３Ｄスライス２値</source>
        <translation>3D Binary Slices</translation>
    </message>
    <message>
        <source>３Ｄ立方体ボックスカウント...</source>
        <translation>3D Cube Box Counting...</translation>
    </message>
    <message>
        <source>測定の設定...</source>
        <translation>Measurement Settings...</translation>
    </message>
    <message>
        <source>ラクナリティ...</source>
        <translation>Lacunarity...</translation>
    </message>
    <message>
        <source>マルチフラクタル スペクトル...</source>
        <translation>Multifractal Spectrum...</translation>
    </message>
    <message>
        <source>範囲指定</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>数値による指定</source>
        <translation>Enter Numbers</translation>
    </message>
    <message>
        <source>範囲の表示</source>
        <translation>Show Region</translation>
    </message>
    <message>
        <source>フィルター</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>メディアン</source>
        <translation>Median</translation>
    </message>
    <message>
        <source>孤立黒点除去</source>
        <translation>Remove Isolated Black Dots</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>使い方</source>
        <translation>How to Use</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>開く（ＢＭＰ）</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>次元算出（黒）</source>
        <translation>Dimension (black)</translation>
    </message>
    <message>
        <source>次元算出（黒以外）</source>
        <translation>Dimension (non-black)</translation>
    </message>
    <message>
        <source>次元算出（グレースケール）</source>
        <translation>Dimension (grayscale)</translation>
    </message>
    <message>
        <source>サイズと位置変更</source>
        <translation>Drag to move or resize</translation>
    </message>
    <message>
        <source>左上(x, y)=( %1, %2 )&#x3000;(幅, 高さ)=( %3, %4 )</source>
        <translation>Top left (x, y)=( %1, %2 )  (w, h)=( %3, %4 )</translation>
    </message>
    <message>
        <source>範囲指定解除</source>
        <translation>Hide Region</translation>
    </message>
    <message>
        <source>計算範囲指定</source>
        <translation>Set Region</translation>
    </message>
</context>
<context>
    <name>TForm2</name>
    <message>
        <source>結果表示</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>画像ｻｲｽﾞ（横×縦）</source>
        <translation>Image size (W×H)</translation>
    </message>
    <message>
        <source>被度（％），輝度差</source>
        <translation>Coverage %, diff.</translation>
    </message>
    <message>
        <source>相関係数&#x3000;（ ｎ ）</source>
        <translation>Correlation (n)</translation>
    </message>
    <message>
        <source>フラクタル次元</source>
        <translation>Fractal Dimension</translation>
    </message>
</context>
<context>
    <name>TForm3</name>
    <message>
        <source>しきい値の変更</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>緑部抽出：(緑%-赤%)&gt;しきい値を黒</source>
        <translation>Green: black if G%-R% &gt; limit</translation>
    </message>
    <message>
        <source>赤部抽出：(赤%-緑%)&gt;しきい値を黒</source>
        <translation>Red: black if R%-G% &gt; limit</translation>
    </message>
</context>
<context>
    <name>TForm4</name>
    <message>
        <source>グラフを画像として保存...</source>
        <translation>Save chart as image...</translation>
    </message>
    <message>
        <source>個数をCSVで保存...</source>
        <translation>Save counts as CSV...</translation>
    </message>
    <message>
        <source>D = %1 ± %2 (95 %), r² = %3, n = %4</source>
        <translation>D = %1 ± %2 (95 %), r² = %3, n = %4</translation>
    </message>
    <message>
        <source>3D: %1 スライス, ボクセル %2×%3×%4 mm</source>
        <translation>3D: %1 slices, voxel %2×%3×%4 mm</translation>
    </message>
    <message>
        <source>D = %1, r² = %2, n = %3</source>
        <translation>D = %1, r² = %2, n = %3</translation>
    </message>
    <message>
        <source>個数</source>
        <translation>Counts</translation>
    </message>
    <message>
        <source>サイズ, 個数</source>
        <translation>Size, count</translation>
    </message>
    <message>
        <source>log10(ボックスサイズ)</source>
        <translation>log10(box size)</translation>
    </message>
    <message>
        <source>log10(カウント数)</source>
        <translation>log10(count)</translation>
    </message>
    <message>
        <source>ボックスサイズとカウント数の関係</source>
        <translation>Box size and count</translation>
    </message>
    <message>
        <source>再計算</source>
        <translation>Refit</translation>
    </message>
    <message>
        <source>局所勾配</source>
        <translation>Local slope</translation>
    </message>
    <message>
        <source>最小グリッド</source>
        <translation>min grid</translation>
    </message>
    <message>
        <source>範囲 %1–%2</source>
        <translation>range %1–%2</translation>
    </message>
    <message>
        <source> (自動)</source>
        <translation> (auto)</translation>
    </message>
    <message>
        <source> (自動: 平坦部なし)</source>
        <translation> (auto: no plateau)</translation>
    </message>
</context>
<context>
    <name>TForm5</name>
    <message>
        <source>総延長</source>
        <translation>Total Length</translation>
    </message>
    <message>
        <source>指定範囲内の総延長</source>
        <translation>Total length (region)</translation>
    </message>
</context>
<context>
    <name>TForm6</name>
    <message>
        <source>フィルタ処理のため</source>
        <translation>For filtering</translation>
    </message>
</context>
<context>
    <name>TForm7</name>
    <message>
        <source>ビットマップ(*.bmp)</source>
        <translation>Bitmap (*.bmp)</translation>
    </message>
    <message>
        <source>PNGファイル(*png)</source>
        <translation>PNG files(*png)</translation>
    </message>
    <message>
        <source>TIFFファイル (*.tif *.tiff)</source>
        <translation>TIFF files (*.tif *.tiff)</translation>
    </message>
    <message>
        <source>JPEGファイル (*.jpg *.jpeg)</source>
        <translation>JPEG files (*.jpg *.jpeg)</translation>
    </message>
    <message>
        <source>３Ｄスライス２値の設定</source>
        <translation>3D Binary Slices</translation>
    </message>
    <message>
        <source>３Ｄスライス２値画像の最終画像ファイル名（bmp/png）選択</source>
        <translation>Choose the last image file of the series</translation>
    </message>
    <message>
        <source>選&#x3000;択</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>最初のファイル名&#x3000;&#x3000;&#x3000;&#x3000;最後のファイル名</source>
        <translation>First file name                       Last file name</translation>
    </message>
    <message>
        <source>１ピクセルの大きさと画像間の距離を入力</source>
        <translation>Enter the pixel size and the slice distance</translation>
    </message>
    <message>
        <source>ピクセルサイズ（縦横同じ）</source>
        <translation>Pixel size (square)</translation>
    </message>
    <message>
        <source>ｍｍ</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>画像間の距離</source>
        <translation>Slice distance</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TForm8</name>
    <message>
        <source>進行状況</source>
        <translation>Progress</translation>
    </message>
</context>
<context>
    <name>TForm9</name>
    <message>
        <source>計算範囲入力</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>左上のｘ座標</source>
        <translation>Left x</translation>
    </message>
    <message>
        <source>左上のｙ座標</source>
        <translation>Top y</translation>
    </message>
    <message>
        <source>横&#x3000;幅</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>高&#x3000;さ</source>
        <translation>Height</translation>
    </message>
</context>
<context>
    <name>THTLabel</name>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
</context>
<context>
    <name>fileDialogs</name>
    <message>
        <source>SVGファイル (*.svg)</source>
        <translation>SVG files (*.svg)</translation>
    </message>
    <message>
        <source>CSVファイル (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>画像ファイル (*.bmp *.png *.tif *.tiff *.jpg *.jpeg)</source>
        <translation>Image files (*.bmp *.png *.tif *.tiff *.jpg *.jpeg)</translation>
    </message>
    <message>
        <source>PNGファイル (*.png)</source>
        <translation>PNG files (*.png)</translation>
    </message>
    <message>
        <source>TIFFファイル (*.tif *.tiff)</source>
        <translation>TIFF files (*.tif *.tiff)</translation>
    </message>
    <message>
        <source>JPEGファイル (*.jpg *.jpeg)</source>
        <translation>JPEG files (*.jpg *.jpeg)</translation>
    </message>
    <message>
        <source>ビットマップ(*.bmp)</source>
        <translation>Bitmap (*.bmp)</translation>
    </message>
    <message>
        <source>ベタファイル(*.g1)</source>
        <translation>Flat file (*.g1)</translation>
    </message>
</context>
</TS>
