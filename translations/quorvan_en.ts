<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ja_JP">
<context>
    <name>CellBlock</name>
    <message>
        <source>貼り付けたセルが結合されたセルに隠れないように、そのセルの結合を解除しました。</source>
        <translation>A merged cell would have hidden pasted cells, so it was split.</translation>
    </message>
    <message>
        <source>貼り付ける内容（%1 行 × %2 列）は、このセルからでは表の大きさの上限（%5 行 × %6 列）に収まらないため、%3 行 × %4 列だけを貼り付けました。</source>
        <translation>The pasted cells (%1 rows × %2 columns) do not fit within the largest table (%5 rows × %6 columns) from this cell, so only %3 rows × %4 columns were pasted.</translation>
    </message>
</context>
<context>
    <name>CellFinder</name>
    <message>
        <source>閉じ括弧 ) がありません</source>
        <translation>missing closing parenthesis</translation>
    </message>
    <message>
        <source>対応する開き括弧 ( のない ) があります</source>
        <translation>unmatched closing parenthesis</translation>
    </message>
    <message>
        <source>繰り返しの指定（*、+、?、{}）の前に繰り返せるものがありません</source>
        <translation>quantifier does not follow a repeatable item</translation>
    </message>
    <message>
        <source>(* で始まる指定が正しくありません</source>
        <translation>(*VERB) not recognized or malformed</translation>
    </message>
    <message>
        <source>同じ名前のグループが二つあります</source>
        <translation>two named groups have the same name</translation>
    </message>
    <message>
        <source>グループの名前が数字で始まっています</source>
        <translation>group name must start with a non-digit</translation>
    </message>
    <message>
        <source>\x{} または \o{} の文字コードが大きすぎます</source>
        <translation>character code point value in \x{} or \o{} is too large</translation>
    </message>
    <message>
        <source>(?# で始まるコメントの閉じ括弧 ) がありません</source>
        <translation>missing ) after (?# comment</translation>
    </message>
    <message>
        <source>\F、\L、\l、\N{名前}、\U、\u は使えません</source>
        <translation>\F, \L, \l, \N{name}, \U and \u are not supported</translation>
    </message>
    <message>
        <source>\p または \P の後の文字の性質の名前が正しくありません</source>
        <translation>unknown property after \P or \p</translation>
    </message>
    <message>
        <source>条件の閉じ括弧 ) がありません</source>
        <translation>missing closing parenthesis for condition</translation>
    </message>
    <message>
        <source>正規表現が正しくありません（%1 文字目）。</source>
        <translation>The regular expression is not valid (at character %1).</translation>
    </message>
    <message>
        <source>正規表現が正しくありません（%1 文字目）：%2</source>
        <translation>The regular expression is not valid (at character %1): %2</translation>
    </message>
</context>
<context>
    <name>CellSettingsPane</name>
    <message>
        <source>背景色(&amp;C)：</source>
        <translation>Colo&amp;ur:</translation>
    </message>
    <message>
        <source>セルの背景色に設定されている色を表示します。</source>
        <translation>Shows the colour set as the cell&apos;s background.</translation>
    </message>
    <message>
        <source>セルの背景色を設定します。</source>
        <translation>Sets the cell&apos;s background colour.</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>セルの背景色の有無を設定します。チェックすると、全体設定で設定した表の背景が表示されます。</source>
        <translation>Sets whether the cell has a background colour. When checked, the table&apos;s background set in the table settings shows through.</translation>
    </message>
    <message>
        <source>幅の変更</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>変更する</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>セルの幅の設定の有無を設定します。チェックすると、セルの幅のサイズの変更ができるようになります。</source>
        <translation>Sets whether the cell has a width of its own. When checked, the cell&apos;s width can be changed.</translation>
    </message>
    <message>
        <source>ｻｲｽﾞ(ﾋﾟｸｾﾙ)：</source>
        <translation>Size (pixels):</translation>
    </message>
    <message>
        <source>セルの幅のサイズを設定します。</source>
        <translation>Sets the cell&apos;s width.</translation>
    </message>
    <message>
        <source>高さの変更</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>セルの高さの設定の有無を設定します。チェックすると、セルの高さのサイズの変更ができるようになります。</source>
        <translation>Sets whether the cell has a height of its own. When checked, the cell&apos;s height can be changed.</translation>
    </message>
    <message>
        <source>セルの高さのサイズを設定します。</source>
        <translation>Sets the cell&apos;s height.</translation>
    </message>
    <message>
        <source>縦に結合</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>結合(&amp;H)</source>
        <translation>&amp;Merge</translation>
    </message>
    <message>
        <source>セルが縦に結合するか設定の有無を設定します。チェックすると、セルの縦の結合の幅が変更できるようになります。</source>
        <translation>Sets whether the cell is merged with the cells below it. When checked, the number of cells merged down can be changed.</translation>
    </message>
    <message>
        <source>個数：</source>
        <translation>Cells:</translation>
    </message>
    <message>
        <source>セルを縦に結合する個数を設定します。</source>
        <translation>Sets how many cells are merged vertically.</translation>
    </message>
    <message>
        <source>横に結合</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>結合(&amp;W)</source>
        <translation>M&amp;erge</translation>
    </message>
    <message>
        <source>セルが横に結合するか設定の有無を設定します。チェックすると、セルの横の結合の幅が変更できるようになります。</source>
        <translation>Sets whether the cell is merged with the cells to its right. When checked, the number of cells merged across can be changed.</translation>
    </message>
    <message>
        <source>セルを横に結合する個数を設定します。</source>
        <translation>Sets how many cells are merged horizontally.</translation>
    </message>
    <message>
        <source>配置</source>
        <translation>Alignment</translation>
    </message>
    <message>
        <source>セルのテキストの横の配置を設定します。</source>
        <translation>Sets the horizontal alignment of the cell&apos;s text.</translation>
    </message>
    <message>
        <source>セルのテキストの縦の配置を設定します。</source>
        <translation>Sets the vertical alignment of the cell&apos;s text.</translation>
    </message>
    <message>
        <source>セルの文字列の配置のプレビューです。</source>
        <translation>A preview of where the cell&apos;s text is placed.</translation>
    </message>
    <message>
        <source>あ</source>
        <translation>A</translation>
    </message>
    <message>
        <source>クラス(&amp;L)：</source>
        <translation>Cell cla&amp;ss:</translation>
    </message>
    <message>
        <source>セルの class 属性を入力します。空白で区切って複数書けます。</source>
        <translation>Enter the cell&apos;s class attribute; separate several classes with spaces.</translation>
    </message>
    <message>
        <source>左</source>
        <translation>left</translation>
    </message>
    <message>
        <source>中央</source>
        <translation>centre</translation>
    </message>
    <message>
        <source>右</source>
        <translation>right</translation>
    </message>
    <message>
        <source>上</source>
        <translation>top</translation>
    </message>
    <message>
        <source>下</source>
        <translation>bottom</translation>
    </message>
    <message>
        <source>横の配置: %1</source>
        <translation>Horizontal alignment: %1</translation>
    </message>
    <message>
        <source>縦の配置: %1</source>
        <translation>Vertical alignment: %1</translation>
    </message>
    <message>
        <source>セルの幅の単位を選びます。％は表の幅に対する割合です。</source>
        <translation>Choose the unit of the cell&apos;s width; % is a share of the table&apos;s width.</translation>
    </message>
    <message>
        <source>セルの高さの単位を選びます。％は表の高さに対する割合です。</source>
        <translation>Choose the unit of the cell&apos;s height; % is a share of the table&apos;s height.</translation>
    </message>
    <message>
        <source>スタイル(&amp;Y)：</source>
        <translation>St&amp;yle:</translation>
    </message>
    <message>
        <source>セルの style 属性に加える CSS を入力します（例: color: red; font-weight: bold）。HTML5 の出力にだけ書き出されます。</source>
        <translation>Enter CSS to add to the cell&apos;s style attribute (for example color: red; font-weight: bold). Only HTML5 output writes it.</translation>
    </message>
    <message>
        <source>ｻｲｽﾞ(％)：</source>
        <translation>Size (%):</translation>
    </message>
</context>
<context>
    <name>CheckDialog</name>
    <message>
        <source>アクセシビリティの確認</source>
        <translation>Check Accessibility</translation>
    </message>
    <message>
        <source>見つかったこと</source>
        <translation>Findings</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>直す(&amp;F)</source>
        <translation>&amp;Fix</translation>
    </message>
    <message>
        <source>見つかったことはありません。</source>
        <translation>Nothing found.</translation>
    </message>
    <message>
        <source>%1 件見つかりました。</source>
        <translation>%1 found.</translation>
    </message>
    <message>
        <source>表題を付ける</source>
        <translation>Add a Caption</translation>
    </message>
    <message>
        <source>%1 件見つかりました（最初の %2 件を示します）。</source>
        <translation>%1 found (the first %2 shown).</translation>
    </message>
    <message>
        <source>表題(&amp;C)：</source>
        <translation>&amp;Caption:</translation>
    </message>
</context>
<context>
    <name>FindReplaceDialog</name>
    <message>
        <source>検索と置換</source>
        <translation>Find and Replace</translation>
    </message>
    <message>
        <source>検索する文字列(&amp;N)：</source>
        <translation>Fi&amp;nd what:</translation>
    </message>
    <message>
        <source>置換後の文字列(&amp;P)：</source>
        <translation>Re&amp;place with:</translation>
    </message>
    <message>
        <source>大文字と小文字を区別する(&amp;C)</source>
        <translation>Match &amp;case</translation>
    </message>
    <message>
        <source>セル全体が一致するものだけ(&amp;O)</source>
        <translation>Match the wh&amp;ole cell only</translation>
    </message>
    <message>
        <source>正規表現を使う(&amp;E)</source>
        <translation>Use regular &amp;expressions</translation>
    </message>
    <message>
        <source>次を検索(&amp;F)</source>
        <translation>&amp;Find Next</translation>
    </message>
    <message>
        <source>前を検索(&amp;B)</source>
        <translation>Find &amp;Back</translation>
    </message>
    <message>
        <source>置換(&amp;R)</source>
        <translation>&amp;Replace</translation>
    </message>
    <message>
        <source>すべて置換(&amp;A)</source>
        <translation>Replace &amp;All</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>置換</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>検索</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>「%1」は見つかりません。</source>
        <translation>“%1” was not found.</translation>
    </message>
    <message>
        <source>%1 個所を置換しました。</source>
        <translation>Replaced %1 occurrence(s).</translation>
    </message>
    <message>
        <source>HTML のソースで検索(&amp;H)</source>
        <translation>In the &amp;HTML source</translation>
    </message>
    <message>
        <source>検索を打ち切りました。時間がかかりすぎるか、正規表現の繰り返しが多すぎます。</source>
        <translation>The search was stopped: it took too long, or the regular expression repeats too much.</translation>
    </message>
    <message>
        <source>表の先頭まで検索したので、末尾から続けて検索しました。</source>
        <translation>Passed the start of the table; continued from the end.</translation>
    </message>
    <message>
        <source>表の末尾まで検索したので、先頭から続けて検索しました。</source>
        <translation>Passed the end of the table; continued from the start.</translation>
    </message>
    <message>
        <source>検索を打ち切りました。時間がかかりすぎるか、正規表現の繰り返しが多すぎます。何も置換していません。</source>
        <translation>The search was stopped: it took too long, or the regular expression repeats too much. Nothing was replaced.</translation>
    </message>
    <message>
        <source>置換すると表のテキストが表ファイルの上限の %1 MB を超えるため、何も置換していません。</source>
        <translation>Nothing was replaced: the table&apos;s text would pass the %1 MB a table file may hold.</translation>
    </message>
    <message>
        <source>メモリが足りないため、置換を中止しました。</source>
        <translation>The replacement was stopped: there is not enough memory.</translation>
    </message>
    <message>
        <source>%1 個所はタグ（改行など）だけにかかるため、置換していません。</source>
        <translation> %1 occurrence(s) on tags only (such as line breaks) were left as they were.</translation>
    </message>
</context>
<context>
    <name>GridClipboard</name>
    <message>
        <source>切り取り(&amp;T)</source>
        <translation>Cu&amp;t</translation>
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
        <source>切り取り</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>貼り付け</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>テキストとして貼り付け(&amp;X)</source>
        <translation>Paste as Te&amp;xt</translation>
    </message>
    <message>
        <source>クリップボードの内容が大きすぎるため、貼り付けできませんでした。</source>
        <translation>The clipboard holds too much to be pasted.</translation>
    </message>
</context>
<context>
    <name>GridEditor</name>
    <message>
        <source>設定するセルを選択します。</source>
        <translation>Choose the cell to set up.</translation>
    </message>
    <message>
        <source>セルを結合(&amp;J)</source>
        <translation>&amp;Join Cells</translation>
    </message>
    <message>
        <source>結合を解除(&amp;U)</source>
        <translation>&amp;Unjoin Cells</translation>
    </message>
    <message>
        <source>行を挿入(&amp;I)</source>
        <translation>&amp;Insert Row</translation>
    </message>
    <message>
        <source>上に挿入(&amp;A)</source>
        <translation>&amp;Above</translation>
    </message>
    <message>
        <source>下に挿入(&amp;B)</source>
        <translation>&amp;Below</translation>
    </message>
    <message>
        <source>列を挿入(&amp;L)</source>
        <translation>Insert Co&amp;lumn</translation>
    </message>
    <message>
        <source>左に挿入(&amp;L)</source>
        <translation>&amp;Left</translation>
    </message>
    <message>
        <source>右に挿入(&amp;R)</source>
        <translation>&amp;Right</translation>
    </message>
    <message>
        <source>行を削除</source>
        <translation>Delete Row</translation>
    </message>
    <message>
        <source>列を削除</source>
        <translation>Delete Column</translation>
    </message>
    <message>
        <source>内容の消去</source>
        <translation>Clear Contents</translation>
    </message>
    <message>
        <source>セルの結合</source>
        <translation>Join Cells</translation>
    </message>
    <message>
        <source>結合の解除</source>
        <translation>Unjoin Cells</translation>
    </message>
    <message>
        <source>行の挿入</source>
        <translation>Insert Rows</translation>
    </message>
    <message>
        <source>列の挿入</source>
        <translation>Insert Columns</translation>
    </message>
    <message>
        <source>行の削除</source>
        <translation>Delete Rows</translation>
    </message>
    <message>
        <source>列の削除</source>
        <translation>Delete Columns</translation>
    </message>
    <message>
        <source>行を挿入できません。表の行は %1 までです。</source>
        <translation>Cannot insert rows: a table has at most %1 rows.</translation>
    </message>
    <message>
        <source>列を挿入できません。表の列は %1 までです。</source>
        <translation>Cannot insert columns: a table has at most %1 columns.</translation>
    </message>
    <message>
        <source>すべての行を削除することはできません。表には 1 行以上が必要です。</source>
        <translation>Cannot delete every row: a table needs at least one row.</translation>
    </message>
    <message>
        <source>すべての列を削除することはできません。表には 1 列以上が必要です。</source>
        <translation>Cannot delete every column: a table needs at least one column.</translation>
    </message>
    <message>
        <source>結合すると、先頭以外のセルの文字列は表示されなくなります。それらの文字列を先頭のセルに移しますか？</source>
        <translation>Merging hides the text of every cell but the first. Move that text into the first cell?</translation>
    </message>
    <message>
        <source>先頭のセルに移す(&amp;M)</source>
        <translation>&amp;Move into the First Cell</translation>
    </message>
    <message>
        <source>隠したままにする(&amp;K)</source>
        <translation>&amp;Keep It Hidden</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>並べ替え(&amp;O)</source>
        <translation>S&amp;ort</translation>
    </message>
    <message>
        <source>昇順 - 文字列(&amp;A)</source>
        <translation>&amp;Ascending by Text</translation>
    </message>
    <message>
        <source>降順 - 文字列(&amp;D)</source>
        <translation>&amp;Descending by Text</translation>
    </message>
    <message>
        <source>昇順 - 数値(&amp;N)</source>
        <translation>Ascending by &amp;Number</translation>
    </message>
    <message>
        <source>降順 - 数値(&amp;U)</source>
        <translation>Descending by N&amp;umber</translation>
    </message>
    <message>
        <source>すべて置換</source>
        <translation>Replace All</translation>
    </message>
    <message>
        <source>%1 行目のセルが縦に結合しているため、並べ替えられません。結合を解除してから並べ替えてください。</source>
        <translation>A cell in row %1 is merged downwards, so the rows cannot be sorted. Unmerge it first, then sort.</translation>
    </message>
    <message>
        <source>並べ替え</source>
        <translation>Sort</translation>
    </message>
    <message>
        <source>列の幅</source>
        <translation>Column Width</translation>
    </message>
    <message>
        <source>行の高さ</source>
        <translation>Row Height</translation>
    </message>
    <message>
        <source>表のセル</source>
        <translation>Table cells</translation>
    </message>
    <message>
        <source>セル（%1 列、%2 行）</source>
        <translation>Cell in column %1, row %2</translation>
    </message>
    <message>
        <source>詳細(&amp;S)...</source>
        <translation>&amp;Sort...</translation>
    </message>
    <message>
        <source>下方向へコピー(&amp;D)</source>
        <translation>Fill &amp;Down</translation>
    </message>
    <message>
        <source>右方向へコピー(&amp;R)</source>
        <translation>Fill &amp;Right</translation>
    </message>
    <message>
        <source>連続データ(&amp;S)</source>
        <translation>Fill &amp;Series</translation>
    </message>
    <message>
        <source>下方向(&amp;D)</source>
        <translation>&amp;Down</translation>
    </message>
    <message>
        <source>右方向(&amp;R)</source>
        <translation>&amp;Right</translation>
    </message>
    <message>
        <source>行と列の入れ替え(&amp;W)</source>
        <translation>Tr&amp;anspose</translation>
    </message>
    <message>
        <source>行番号の列を挿入(&amp;N)</source>
        <translation>Insert Row &amp;Numbers</translation>
    </message>
    <message>
        <source>メモリが足りないため、「%1」を中止しました。</source>
        <translation>There was not enough memory: &quot;%1&quot; was stopped.</translation>
    </message>
    <message>
        <source>列 %1</source>
        <translation>Column %1</translation>
    </message>
    <message>
        <source>列 %1：%2</source>
        <translation>Column %1: %2</translation>
    </message>
    <message>
        <source>行と列を入れ替えられません。表の列は %1 までのため、行が %1 を超える表は入れ替えられません。</source>
        <translation>The rows and columns cannot be swapped. A table has at most %1 columns, so a table of more than %1 rows cannot be transposed.</translation>
    </message>
    <message>
        <source>行と列の入れ替え</source>
        <translation>Transpose</translation>
    </message>
    <message>
        <source>フッター行は列になったため、フッター行の設定を外しました。</source>
        <translation>The footer rows became columns, so the table has no footer rows now.</translation>
    </message>
    <message>
        <source>下方向へコピー</source>
        <translation>Fill Down</translation>
    </message>
    <message>
        <source>右方向へコピー</source>
        <translation>Fill Right</translation>
    </message>
    <message>
        <source>連続データ</source>
        <translation>Fill Series</translation>
    </message>
    <message>
        <source>一度に書き込めるのは %L1 セルまでです。範囲を狭めてください。</source>
        <translation>At most %L1 cells can be written at once. Choose a smaller range.</translation>
    </message>
    <message>
        <source>表のテキストが表ファイルの上限の %1 MB を超えるため、何も変更していません。</source>
        <translation>Nothing was changed: the table&apos;s text would pass the %1 MB a table file may hold.</translation>
    </message>
    <message>
        <source>行番号の挿入</source>
        <translation>Insert Row Numbers</translation>
    </message>
    <message>
        <source>列の配置(&amp;G)</source>
        <translation>Column Ali&amp;gnment</translation>
    </message>
    <message>
        <source>左揃え(&amp;L)</source>
        <translation>&amp;Left</translation>
    </message>
    <message>
        <source>中央揃え(&amp;C)</source>
        <translation>&amp;Centre</translation>
    </message>
    <message>
        <source>右揃え(&amp;R)</source>
        <translation>&amp;Right</translation>
    </message>
    <message>
        <source>一度に配置を変えられるのは %1 個のセルまでです。列を減らして選んでください。</source>
        <translation>The alignment can be changed for at most %1 cells at a time. Choose fewer columns.</translation>
    </message>
    <message>
        <source>列の配置</source>
        <translation>Column Alignment</translation>
    </message>
    <message>
        <source>メモリが足りないため、列の配置を変えられませんでした。</source>
        <translation>There is not enough memory to change the column alignment.</translation>
    </message>
    <message>
        <source>番号</source>
        <translation>No.</translation>
    </message>
</context>
<context>
    <name>GridWidget</name>
    <message>
        <source>%1 列 × %2 行に結合</source>
        <translation>Merged across %1 columns × %2 rows</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>ページが見つかりません</source>
        <translation>Page not found</translation>
    </message>
    <message>
        <source>&lt;p&gt;ページ「%1」はこのヘルプ ファイルにありません。&lt;/p&gt;&lt;p&gt;［戻る］で前のページに戻れます。&lt;/p&gt;</source>
        <translation>&lt;p&gt;The page “%1” is not in this help file.&lt;/p&gt;&lt;p&gt;[Back] takes you to the page before.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Quorvan ヘルプ</source>
        <translation>Quorvan Help</translation>
    </message>
    <message>
        <source>戻る</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>前に表示したページに戻ります。</source>
        <translation>Goes back to the page shown before.</translation>
    </message>
    <message>
        <source>進む</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>戻る前のページに進みます。</source>
        <translation>Goes forward to the page you went back from.</translation>
    </message>
    <message>
        <source>ホーム</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>ヘルプの最初のページを表示します。</source>
        <translation>Shows the first page of the help.</translation>
    </message>
    <message>
        <source>目次</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>ヘルプ ファイルが見つかりません</source>
        <translation>Help file not found</translation>
    </message>
    <message>
        <source>&lt;p&gt;ヘルプ ファイル「%1」が見つかりません。&lt;/p&gt;&lt;p&gt;Qrvn.CHM は、Quorvan のプログラムと同じフォルダーか、インストール先のデータ フォルダー（share/quorvan）に置かれます。見つからない場合は、Quorvan をインストールし直してください。&lt;/p&gt;</source>
        <translation>&lt;p&gt;The help file “%1” cannot be found.&lt;/p&gt;&lt;p&gt;The help files (Qrvn_en.CHM in English, Qrvn.CHM in Japanese) are kept in the folder of the Quorvan program or in the installed data folder (share/quorvan). If they are not there, please install Quorvan again.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>ヘルプ ファイルを読み込めません</source>
        <translation>Cannot read the help file</translation>
    </message>
    <message>
        <source>&lt;p&gt;ヘルプ ファイル「%1」を読み込めませんでした。&lt;/p&gt;&lt;p&gt;ファイルが壊れているか、ヘルプ ファイルの形式ではありません。Quorvan をインストールし直してください。&lt;/p&gt;</source>
        <translation>&lt;p&gt;The help file “%1” could not be read.&lt;/p&gt;&lt;p&gt;The file is damaged or is not a help file. Please install Quorvan again.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>表示するページがありません</source>
        <translation>No page to show</translation>
    </message>
    <message>
        <source>&lt;p&gt;ヘルプ ファイル「%1」には最初に表示するページがありません。&lt;/p&gt;</source>
        <translation>&lt;p&gt;The help file “%1” has no first page to show.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ヘルプのページ</source>
        <translation>Help page</translation>
    </message>
</context>
<context>
    <name>HtmlImport</name>
    <message>
        <source>このページ</source>
        <translation>The page</translation>
    </message>
    <message>
        <source>%1には表（TABLE 要素）がないため、読み込めませんでした。</source>
        <translation>%1 could not be read: it has no table (TABLE element).</translation>
    </message>
    <message>
        <source>%1には %2 番目の表がないため、読み込めませんでした。</source>
        <translation>%1 could not be read: it has no table %2.</translation>
    </message>
    <message>
        <source>%1の表 %2 にはセルがないため、読み込めませんでした。</source>
        <translation>%1 could not be read: its table %2 has no cells.</translation>
    </message>
    <message>
        <source>、表 %1 の中</source>
        <translation>, inside table %1</translation>
    </message>
    <message>
        <source>%1を読み込めませんでした。</source>
        <translation>%1 could not be read.</translation>
    </message>
    <message>
        <source>%1は大きすぎるか、要素の入れ子が深すぎるため、読み込めませんでした。</source>
        <translation>%1 could not be read: it is too large or its elements are nested too deeply.</translation>
    </message>
    <message>
        <source>次の要素と属性は取り込まれませんでした: %1</source>
        <translation>These elements and attributes were not brought in: %1</translation>
    </message>
    <message>
        <source>表 %1（%2 × %3%4）</source>
        <translation>Table %1 (%2 × %3%4)</translation>
    </message>
    <message numerus="yes">
        <source>%n 行</source>
        <translation>
            <numerusform>%n row</numerusform>
            <numerusform>%n rows</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 列</source>
        <translation>
            <numerusform>%n column</numerusform>
            <numerusform>%n columns</numerusform>
        </translation>
    </message>
    <message>
        <source>%1は大きすぎる（%2 MiB を超える）ため、読み込めませんでした。</source>
        <translation>%1 could not be read: it is larger than %2 MiB.</translation>
    </message>
    <message>
        <source>%1は要素の入れ子が深すぎるため、読み込めませんでした。</source>
        <translation>%1 could not be read: its elements nest too deep.</translation>
    </message>
    <message>
        <source>%1は大きさの割に読み取りに時間がかかりすぎるため、読み込めませんでした。</source>
        <translation>%1 could not be read: reading it would take far longer than its size calls for.</translation>
    </message>
    <message>
        <source>%1は大きさの割に読み取りに必要なメモリーが多すぎるため、読み込めませんでした。</source>
        <translation>%1 could not be read: reading it would take far more memory than its size calls for.</translation>
    </message>
    <message>
        <source>%1の表 %2 は %3 行 × %4 列あり、表の大きさの上限（%5 行 × %6 列）を超えるため、読み込めませんでした。</source>
        <translation>%1 could not be read: its table %2 has %3 rows × %4 columns, more than the largest table (%5 rows × %6 columns).</translation>
    </message>
    <message>
        <source>次のスタイルはセルに残しましたが、HTML 4 の出力には書き出されません（HTML5 にすると書き出されます）: %1</source>
        <translation>These styles were kept in the cells but HTML 4 output does not write them (HTML5 does): %1</translation>
    </message>
    <message>
        <source>。</source>
        <translation>. </translation>
    </message>
</context>
<context>
    <name>HtmlTableChooser</name>
    <message>
        <source>開く表を選んでください（データの表と見られるものを選んであります）。</source>
        <translation>Choose the table to open (the one that looks like a data table is chosen).</translation>
    </message>
    <message>
        <source>表</source>
        <translation>Table</translation>
    </message>
    <message>
        <source>大きさ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>見出し・id</source>
        <translation>Caption or id</translation>
    </message>
    <message>
        <source>最初のセル</source>
        <translation>First cells</translation>
    </message>
    <message>
        <source>ページの表</source>
        <translation>Tables of the page</translation>
    </message>
    <message>
        <source>表 %1</source>
        <translation>Table %1</translation>
    </message>
    <message>
        <source>%1 × %2</source>
        <translation>%1 × %2</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>OutputViews</name>
    <message>
        <source>表のHTMLタグを表示します。コピーしたいところを選択して、右クリックし、「コピー」を選択してください。</source>
        <translation>Shows the table&apos;s HTML tags. Select what you want to copy, right-click and choose “Copy”.</translation>
    </message>
    <message>
        <source>コピー</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>すべて選択</source>
        <translation>Select All</translation>
    </message>
</context>
<context>
    <name>RecoveryFile</name>
    <message>
        <source>回復用のフォルダー&quot;%1&quot;を作成できないため、回復用のコピーを書き込めません。</source>
        <translation>The recovery folder &quot;%1&quot; cannot be created, so no recovery copy can be written.</translation>
    </message>
    <message>
        <source>回復用のコピーを書き込めませんでした。</source>
        <translation>The recovery copy could not be written.</translation>
    </message>
    <message>
        <source>前回のコピーは残っています。</source>
        <translation>The previous copy is kept.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;の回復用のコピーを開けないため、復元できませんでした。コピーは&quot;%2&quot;に残してあります。</source>
        <translation>&quot;%1&quot; could not be restored because its recovery copy does not open. The copy is kept as &quot;%2&quot;.</translation>
    </message>
</context>
<context>
    <name>SortDialog</name>
    <message>
        <source>並べ替え</source>
        <translation>Sort</translation>
    </message>
    <message>
        <source>先頭行は見出し(&amp;F)</source>
        <translation>&amp;First row is a header</translation>
    </message>
    <message>
        <source>見出しの行、フッター行と、チェックするとその下の最初の行は、並べ替えても動きません。</source>
        <translation>The header rows, the footer rows and, when this is checked, the first row below the header rows stay where they are.</translation>
    </message>
    <message>
        <source>第 1 キー(&amp;1)：</source>
        <translation>Key &amp;1:</translation>
    </message>
    <message>
        <source>第 2 キー(&amp;2)：</source>
        <translation>Key &amp;2:</translation>
    </message>
    <message>
        <source>第 3 キー(&amp;3)：</source>
        <translation>Key &amp;3:</translation>
    </message>
    <message>
        <source>第 %1 キーの列</source>
        <translation>Column of key %1</translation>
    </message>
    <message>
        <source>第 %1 キーの読み方</source>
        <translation>How key %1 reads</translation>
    </message>
    <message>
        <source>第 %1 キーの順序</source>
        <translation>Order of key %1</translation>
    </message>
    <message>
        <source>（なし）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>文字列</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>数値</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>自然順（項目2 &lt; 項目10）</source>
        <translation>Natural (item 2 &lt; item 10)</translation>
    </message>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>昇順</source>
        <translation>Ascending</translation>
    </message>
    <message>
        <source>降順</source>
        <translation>Descending</translation>
    </message>
</context>
<context>
    <name>Spreadsheet</name>
    <message>
        <source>数式（計算結果の値で取り込み）</source>
        <translation>formulas (their results brought in as values)</translation>
    </message>
    <message>
        <source>セルの背景色</source>
        <translation>cell background colours</translation>
    </message>
    <message>
        <source>文字の色・フォント・大きさ</source>
        <translation>text colours, fonts and sizes</translation>
    </message>
    <message>
        <source>罫線</source>
        <translation>borders</translation>
    </message>
    <message>
        <source>ほかのシート</source>
        <translation>the other sheets</translation>
    </message>
    <message>
        <source>画像・図形・グラフ</source>
        <translation>pictures, shapes and charts</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>comments</translation>
    </message>
    <message>
        <source>リンク（文字だけ取り込み）</source>
        <translation>links (their text brought in)</translation>
    </message>
    <message>
        <source>セルの一部の文字の書式</source>
        <translation>formatting of part of a cell&apos;s text</translation>
    </message>
    <message>
        <source>行と列の非表示（表示して取り込み）</source>
        <translation>hidden rows and columns (brought in shown)</translation>
    </message>
    <message>
        <source>条件付き書式</source>
        <translation>conditional formatting</translation>
    </message>
    <message>
        <source>入力規則</source>
        <translation>validation rules</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>The file</translation>
    </message>
    <message>
        <source>%1は壊れているか、表計算のファイル（.ods・.xlsx）ではないため、開くことができませんでした。</source>
        <translation>%1 could not be opened because it is damaged or is not a spreadsheet file (.ods, .xlsx).</translation>
    </message>
    <message>
        <source>中身を展開すると %1 MB を超えます</source>
        <translation>its contents inflate to more than %1 MB</translation>
    </message>
    <message>
        <source>ファイルの数が %1 を超えます</source>
        <translation>it holds more than %1 files</translation>
    </message>
    <message>
        <source>XML の入れ子が %1 段を超えます</source>
        <translation>its XML nests more than %1 levels deep</translation>
    </message>
    <message>
        <source>値のあるセルが %1 個を超えます</source>
        <translation>it has more than %1 cells with values</translation>
    </message>
    <message>
        <source>セルの文字が合わせて %1 M 文字を超えます</source>
        <translation>its cells hold more than %1 M characters in all</translation>
    </message>
    <message>
        <source>シートが %1 枚を超えます</source>
        <translation>it has more than %1 sheets</translation>
    </message>
    <message>
        <source>書式が %1 個を超えます</source>
        <translation>it has more than %1 formats</translation>
    </message>
    <message>
        <source>メモリが足りません</source>
        <translation>there is not enough memory</translation>
    </message>
    <message>
        <source>%1は読み込める上限を超えるため、開けませんでした（%2）。</source>
        <translation>%1 could not be opened because it is past what can be read (%2).</translation>
    </message>
    <message>
        <source>%1のシート「%2」</source>
        <translation>Sheet &quot;%2&quot; of %1</translation>
    </message>
    <message>
        <source>%1を読み込めませんでした。</source>
        <translation>%1 could not be read.</translation>
    </message>
    <message>
        <source>空</source>
        <translation>empty</translation>
    </message>
    <message>
        <source>%1 × %2</source>
        <translation>%1 × %2</translation>
    </message>
    <message numerus="yes">
        <source>%n 行</source>
        <translation>
            <numerusform>%n row</numerusform>
            <numerusform>%n rows</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 列</source>
        <translation>
            <numerusform>%n column</numerusform>
            <numerusform>%n columns</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2（%3）</source>
        <translation>%1: %2 (%3)</translation>
    </message>
    <message>
        <source>%1には %2 番目のシートがないため、読み込めませんでした。</source>
        <translation>%1 could not be read because it has no sheet %2.</translation>
    </message>
    <message>
        <source>%1は %2 行 × %3 列あり、表に収まりません（%4 行 × %5 列まで）。</source>
        <translation>%1 has %2 rows × %3 columns and does not fit in a table (%4 rows × %5 columns at most).</translation>
    </message>
    <message>
        <source>%1は空のため、読み込めませんでした。</source>
        <translation>%1 could not be read because it is empty.</translation>
    </message>
    <message>
        <source>%1にはシート「%2」がありません。シートは %3 です。</source>
        <translation>%1 has no sheet &quot;%2&quot;. Its sheets are %3.</translation>
    </message>
    <message>
        <source>次のものは取り込まれませんでした: %1</source>
        <translation>These were not brought in: %1</translation>
    </message>
</context>
<context>
    <name>TableCheck</name>
    <message>
        <source>ほかに %1 件</source>
        <translation>%1 more</translation>
    </message>
    <message>
        <source>行 %1, 列 %2</source>
        <translation>Row %1, column %2</translation>
    </message>
    <message>
        <source>表</source>
        <translation>Table</translation>
    </message>
    <message>
        <source>表題がありません。読み上げでは表の名前がわかりません</source>
        <translation>No caption: a screen reader cannot name the table</translation>
    </message>
    <message>
        <source>見出しセルがありません。読み上げではどの値が何かわかりません</source>
        <translation>No header cells: a screen reader cannot tell what each value is</translation>
    </message>
    <message>
        <source>見出しセルが空です</source>
        <translation>The header cell is empty</translation>
    </message>
    <message>
        <source>1 行だけの表です。レイアウト用の表ではありませんか</source>
        <translation>A table of one row: is it a layout table?</translation>
    </message>
    <message>
        <source>リンクだけの表です。レイアウト用の表ではありませんか</source>
        <translation>A table of links only: is it a layout table?</translation>
    </message>
    <message>
        <source>セルの中に表があります。レイアウト用の表ではありませんか</source>
        <translation>A table inside a cell: is it a layout table?</translation>
    </message>
    <message>
        <source>表題を付けます</source>
        <translation>Adds a caption</translation>
    </message>
    <message>
        <source>%1 行目を見出し行にします</source>
        <translation>Makes row %1 the header row</translation>
    </message>
    <message>
        <source>この見出しの scope を &quot;%1&quot; にします</source>
        <translation>Sets this header&apos;s scope to &quot;%1&quot;</translation>
    </message>
    <message>
        <source>結合のため何の見出しかはっきりしません（scope=&quot;%1&quot; と読まれます）</source>
        <translation>Its join leaves unclear what this header heads (read as scope=&quot;%1&quot;)</translation>
    </message>
    <message>
        <source>文字色と背景色のコントラストが %1 : 1 です（4.5 : 1 未満）</source>
        <translation>Text against its background has a contrast of %1 : 1 (below 4.5 : 1)</translation>
    </message>
</context>
<context>
    <name>TableDocument</name>
    <message>
        <source>セルの内容</source>
        <translation>Cell Contents</translation>
    </message>
    <message>
        <source>見出し</source>
        <translation>Header</translation>
    </message>
    <message>
        <source>セルの高さ</source>
        <translation>Cell Height</translation>
    </message>
    <message>
        <source>セルの幅</source>
        <translation>Cell Width</translation>
    </message>
    <message>
        <source>行の結合</source>
        <translation>Row Span</translation>
    </message>
    <message>
        <source>列の結合</source>
        <translation>Column Span</translation>
    </message>
    <message>
        <source>縦の配置</source>
        <translation>Vertical Alignment</translation>
    </message>
    <message>
        <source>横の配置</source>
        <translation>Horizontal Alignment</translation>
    </message>
    <message>
        <source>セルの背景色</source>
        <translation>Cell Background Colour</translation>
    </message>
    <message>
        <source>表の大きさ</source>
        <translation>Table Size</translation>
    </message>
    <message>
        <source>表のタイトル</source>
        <translation>Table Title</translation>
    </message>
    <message>
        <source>線の太さ</source>
        <translation>Border Width</translation>
    </message>
    <message>
        <source>表の背景色</source>
        <translation>Table Background Colour</translation>
    </message>
    <message>
        <source>Netscape 互換</source>
        <translation>Netscape Compatibility</translation>
    </message>
    <message>
        <source>出力の形式</source>
        <translation>Output Format</translation>
    </message>
    <message>
        <source>表の幅</source>
        <translation>Table Width</translation>
    </message>
    <message>
        <source>セルのクラス</source>
        <translation>Cell Class</translation>
    </message>
    <message>
        <source>スタイルの出力</source>
        <translation>Style Output</translation>
    </message>
    <message>
        <source>表の ID</source>
        <translation>Table ID</translation>
    </message>
    <message>
        <source>表のクラス</source>
        <translation>Table Class</translation>
    </message>
    <message>
        <source>フッター行</source>
        <translation>Footer Rows</translation>
    </message>
    <message>
        <source>見出しの範囲</source>
        <translation>Header Scope</translation>
    </message>
    <message>
        <source>表のプリセット</source>
        <translation>Table Preset</translation>
    </message>
    <message>
        <source>CSS の出力先</source>
        <translation>Stylesheet Output</translation>
    </message>
    <message>
        <source>セルのスタイル</source>
        <translation>Cell Style</translation>
    </message>
    <message>
        <source>レスポンシブ</source>
        <translation>Responsive</translation>
    </message>
</context>
<context>
    <name>TableExport</name>
    <message>
        <source>標準入力</source>
        <translation>standard input</translation>
    </message>
</context>
<context>
    <name>TableFile</name>
    <message>
        <source>%1は共有フォルダーの中の、存在しないファイルを指すリンクなので、保存しませんでした。別の名前で保存してください。</source>
        <translation>%1 is a link in a shared folder to a file that does not exist, so nothing was saved. Please save under another name.</translation>
    </message>
    <message>
        <source>%1は他のユーザーが共有フォルダーに置いたリンクなので、保存しませんでした。別の名前で保存してください。</source>
        <translation>%1 is a link another user placed in a shared folder, so nothing was saved. Please save under another name.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;は壊れているか、<byte value="xd"/>
Quorvanのファイルではないため、開くことができませんでした。</source>
        <translation>&quot;%1&quot; could not be opened: it is damaged<byte value="xd"/>
or not a Quorvan file.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;はVer.%2で作られたファイルです。<byte value="xd"/>
ソフトのバージョンは%3です。<byte value="xd"/>
このファイルを開くには最新のバージョンが必要です。最新バージョンをダウンロードしてください。</source>
        <translation>&quot;%1&quot; was made with Ver.%2.<byte value="xd"/>
This program is version %3.<byte value="xd"/>
This file needs the latest version to open. Please download the latest version.</translation>
    </message>
    <message>
        <source>不明なエラーが発生したため、ファイルを開けませんでした。</source>
        <translation>The file could not be opened because of an unknown error.</translation>
    </message>
    <message>
        <source>不明なエラーが発生したため、ファイルを保存できませんでした。</source>
        <translation>The file could not be saved because of an unknown error.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;に書き込む権限がないため、ファイルを保存できませんでした。</source>
        <translation>The file could not be saved: you have no permission to write &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;はフォルダーのため、ファイルを保存できませんでした。</source>
        <translation>The file could not be saved: &quot;%1&quot; is a folder.</translation>
    </message>
    <message>
        <source>ディスクの空き容量が足りないため、&quot;%1&quot;を保存できませんでした。</source>
        <translation>&quot;%1&quot; could not be saved: there is no space left on the disk.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;は読み取り専用の場所にあるため、ファイルを保存できませんでした。</source>
        <translation>The file could not be saved: &quot;%1&quot; is on a read-only file system.</translation>
    </message>
    <message>
        <source>ファイルの大きさの上限を超えるため、&quot;%1&quot;を保存できませんでした。</source>
        <translation>&quot;%1&quot; could not be saved: it would pass the largest file size allowed.</translation>
    </message>
    <message>
        <source>表のテキストが%1 MBあり、開ける上限の%2 MBを超えるため、&quot;%3&quot;を保存できませんでした。セルのテキストを減らしてください。</source>
        <translation>&quot;%3&quot; was not saved: the table holds %1 MB of text, more than the %2 MB a table file can have to open again. Shorten some cell texts.</translation>
    </message>
    <message>
        <source>HTMLが%1 MBになり、読み込める上限の%2 MBを超えるため、&quot;%3&quot;を保存できませんでした。セルのテキストを減らしてください。</source>
        <translation>&quot;%3&quot; was not saved: its HTML would be %1 MB, more than the %2 MB a page can have to be read again. Shorten some cell texts.</translation>
    </message>
    <message>
        <source>スタイルシートが&quot;%1&quot;そのものに書き出されてしまうため、保存しませんでした。名前を .html で終わるようにしてください。</source>
        <translation>The stylesheet would be written over &quot;%1&quot; itself, so nothing was saved. Give the file a name ending in .html.</translation>
    </message>
    <message>
        <source>%1 行 × %2 列の表は HTML にすると %3 MB を超えるため、HTML にできません。行か列を減らしてください。</source>
        <translation>A table of %1 rows × %2 columns would make more than %3 MB of HTML, so it cannot be made into HTML. Take out rows or columns.</translation>
    </message>
</context>
<context>
    <name>TableSettingsPane</name>
    <message>
        <source>行の数(&amp;W)：</source>
        <translation>Cells per &amp;row:</translation>
    </message>
    <message>
        <source>表の行の数を入力します。</source>
        <translation>Enter the number of cells in each row of the table.</translation>
    </message>
    <message>
        <source>列の数(&amp;D)：</source>
        <translation>Cells per co&amp;lumn:</translation>
    </message>
    <message>
        <source>表の列の数を入力します。</source>
        <translation>Enter the number of cells in each column of the table.</translation>
    </message>
    <message>
        <source>タイトル(&amp;T)：</source>
        <translation>&amp;Title:</translation>
    </message>
    <message>
        <source>表のタイトル（表の上に配置されます）を入力します。</source>
        <translation>Enter the table&apos;s title (placed above the table).</translation>
    </message>
    <message>
        <source>線の太さ(&amp;B)：</source>
        <translation>&amp;Border:</translation>
    </message>
    <message>
        <source>表の罫線の太さを入力します。</source>
        <translation>Enter the width of the table&apos;s border lines.</translation>
    </message>
    <message>
        <source>背景色(&amp;C)：</source>
        <translation>Back&amp;ground:</translation>
    </message>
    <message>
        <source>表の背景色に設定されている色を表示します。</source>
        <translation>Shows the colour set as the table&apos;s background.</translation>
    </message>
    <message>
        <source>表の背景色を設定します。</source>
        <translation>Sets the table&apos;s background colour.</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>表の背景色の有無を決めます。チェックするとホームページの背景がそのまま表示されます。</source>
        <translation>Decides whether the table has a background colour. When checked, the web page&apos;s background shows through.</translation>
    </message>
    <message>
        <source>Netscape対応</source>
        <translation>Netscape compatible</translation>
    </message>
    <message>
        <source>表をNetscape対応にするかを決定します。チェックすると、Netscapeで対応していないタグは省かれます。</source>
        <translation>Decides whether the table suits Netscape. When checked, tags Netscape does not support are left out.</translation>
    </message>
    <message>
        <source>出力形式(&amp;K)：</source>
        <translation>&amp;Output format:</translation>
    </message>
    <message>
        <source>書き出すHTMLの形式を選びます。</source>
        <translation>Chooses the kind of HTML written.</translation>
    </message>
    <message>
        <source>HTML 4 (従来)</source>
        <translation>HTML 4 (classic)</translation>
    </message>
    <message>
        <source>表の幅(&amp;I)：</source>
        <translation>Table &amp;width:</translation>
    </message>
    <message>
        <source>表の幅の単位を選びます。「なし」ではブラウザが幅を決めます。</source>
        <translation>Chooses the unit of the table&apos;s width. With “None” the browser decides the width.</translation>
    </message>
    <message>
        <source>ピクセル</source>
        <translation>pixels</translation>
    </message>
    <message>
        <source>％</source>
        <translation>%</translation>
    </message>
    <message>
        <source>表の幅を入力します。</source>
        <translation>Enter the table&apos;s width.</translation>
    </message>
    <message>
        <source>スタイル(&amp;Y)：</source>
        <translation>St&amp;yle:</translation>
    </message>
    <message>
        <source>HTML5 で、見た目を style 属性で書くか、構造だけを書いてサイトの CSS に任せるかを選びます。</source>
        <translation>For HTML5: write the look as style attributes, or write the structure only and leave the look to the site&apos;s CSS.</translation>
    </message>
    <message>
        <source>インライン CSS</source>
        <translation>Inline CSS</translation>
    </message>
    <message>
        <source>なし（構造のみ）</source>
        <translation>None (structure only)</translation>
    </message>
    <message>
        <source>ID(&amp;E)：</source>
        <translation>Table &amp;ID:</translation>
    </message>
    <message>
        <source>表の id 属性を入力します。</source>
        <translation>Enter the table&apos;s id attribute.</translation>
    </message>
    <message>
        <source>クラス(&amp;L)：</source>
        <translation>Cl&amp;ass:</translation>
    </message>
    <message>
        <source>表の class 属性を入力します。空白で区切って複数書けます。</source>
        <translation>Enter the table&apos;s class attribute; separate several classes with spaces.</translation>
    </message>
    <message>
        <source>Netscape対応は HTML 4 の設定です。HTML5 では配置を省きません。</source>
        <translation>Netscape compatibility is an HTML 4 setting. HTML5 output always keeps the alignment.</translation>
    </message>
    <message>
        <source>フッター行(&amp;O)：</source>
        <translation>Footer row cou&amp;nt:</translation>
    </message>
    <message>
        <source>表の最後の何行をフッター（HTML5 の tfoot）にするかを入力します。0 でフッターなし。</source>
        <translation>Enter how many of the table&apos;s last rows are its footer (tfoot in HTML5); 0 for no footer.</translation>
    </message>
    <message>
        <source>プリセット(&amp;R)：</source>
        <translation>&amp;Preset:</translation>
    </message>
    <message>
        <source>シンプル</source>
        <translation>Plain</translation>
    </message>
    <message>
        <source>罫線</source>
        <translation>Lines</translation>
    </message>
    <message>
        <source>しま模様</source>
        <translation>Striped</translation>
    </message>
    <message>
        <source>コンパクト</source>
        <translation>Compact</translation>
    </message>
    <message>
        <source>Bootstrap のクラス</source>
        <translation>Bootstrap classes</translation>
    </message>
    <message>
        <source>レスポンシブ(&amp;M)</source>
        <translation>Responsive for &amp;mobile</translation>
    </message>
    <message>
        <source>表を横にスクロールできる枠で囲み、幅 600 ピクセル未満の画面では各セルを列の見出しを添えて縦に並べます。</source>
        <translation>Puts the table in a box that scrolls sideways, and on screens narrower than 600 pixels stacks each cell under its column&apos;s header.</translation>
    </message>
    <message>
        <source>CSS の出力先(&amp;G)：</source>
        <translation>&amp;Stylesheet:</translation>
    </message>
    <message>
        <source>プリセットやレスポンシブのスタイルシートを、表の前の style 要素に書くか、HTML と並べた .css ファイルに書くか、書かないか（サイトにあるもの）を選びます。</source>
        <translation>Chooses where the stylesheet of the preset or the responsive layout goes: a style element before the table, a .css file beside the HTML, or nowhere (the site has it).</translation>
    </message>
    <message>
        <source>表の前の &lt;style&gt;</source>
        <translation>&lt;style&gt; before the table</translation>
    </message>
    <message>
        <source>別の .css ファイル</source>
        <translation>A separate .css file</translation>
    </message>
    <message>
        <source>なし（サイトの CSS）</source>
        <translation>None (the site&apos;s CSS)</translation>
    </message>
    <message>
        <source>HTML5 で、表の見た目を style 属性でなく、クラスとスタイルシートで書くときの型を選びます。</source>
        <translation>Chooses a look for HTML5 written as classes with a stylesheet instead of style attributes.</translation>
    </message>
</context>
<context>
    <name>TextTable</name>
    <message>
        <source>&quot;%1&quot;は%2 行 × %3 列あり、表に収まりません（%4 行 × %5 列まで）。</source>
        <translation>&quot;%1&quot; has %2 rows × %3 columns and does not fit in a table (%4 rows × %5 columns at most).</translation>
    </message>
    <message>
        <source>&quot;%1&quot;の %2 か所は %3 として読めず、�に置き換えました。</source>
        <translation>&quot;%1&quot;: bytes that are not %3 were replaced with � (%2 in all).</translation>
    </message>
    <message>
        <source>&quot;%1&quot;にあった NUL 文字 %2 個を取り除きました。</source>
        <translation>&quot;%1&quot;: NUL characters were left out (%2 in all).</translation>
    </message>
    <message>
        <source>書き出すテキストが%1 MB以上になり、上限の%2 MBを超えるため、&quot;%3&quot;を保存できませんでした。</source>
        <translation>The text to be written would be %1 MB or more, past the limit of %2 MB, so &quot;%3&quot; was not saved.</translation>
    </message>
    <message>
        <source>結合したセルは結合を解いて書き出しました。テキストは左上のセルに一度だけ書き、結合していた残りのセルは空です。</source>
        <translation>Joined cells were flattened: each one&apos;s text is written once, in its top left cell, and the cells it spanned are empty.</translation>
    </message>
    <message>
        <source>この形式には文字揃えがないため、セルの文字揃えは書き出していません。</source>
        <translation>This format has no alignment, so the cells&apos; alignment was not written.</translation>
    </message>
    <message>
        <source>この形式の文字揃えは列ごとのため、列の多くのセルと違う揃え方のセルは列の揃え方になります。</source>
        <translation>This format aligns whole columns, so a cell aligned unlike most of its column takes the column&apos;s alignment.</translation>
    </message>
    <message>
        <source>表の幅が%1文字あり、docutils は既定では %2 文字までの行しか読みません（--line-length-limit で広げられます）。</source>
        <translation>The table is %1 characters wide; by default docutils reads lines of at most %2 characters (--line-length-limit raises that).</translation>
    </message>
    <message>
        <source>&quot;%1&quot;は大きすぎるため、開くことができませんでした（%2 行 × %3 列、%4 MB まで）。</source>
        <translation>&quot;%1&quot; is too large to open (a table holds %2 rows × %3 columns, a file %4 MB at most).</translation>
    </message>
</context>
<context>
    <name>UpDown</name>
    <message>
        <source>1 増やす</source>
        <translation>Up by 1</translation>
    </message>
    <message>
        <source>1 減らす</source>
        <translation>Down by 1</translation>
    </message>
</context>
<context>
    <name>WebPreview</name>
    <message>
        <source>プレビューを表示できません。
プレビューに使う部品（%1）が見つからないか、読み込めませんでした。Quorvanをインストールし直してください。

%2</source>
        <translation>The preview cannot be shown.
The part used for previews (%1) is missing or could not be loaded. Please install Quorvan again.

%2</translation>
    </message>
</context>
<context>
    <name>WorkFileChooser</name>
    <message>
        <source>ファイル(*.*)|*.*</source>
        <translation>All Files(*.*)|*.*</translation>
    </message>
    <message>
        <source>作業ファイルの選択</source>
        <translation>Choose the Work File</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>Quorvanのバージョン情報</source>
        <translation>About Quorvan</translation>
    </message>
    <message>
        <source>この絵の四隅を左上、右上、右下、左下の順に押してください。</source>
        <translation>Press the four corners of this picture: top left, top right, bottom right, then bottom left.</translation>
    </message>
</context>
<context>
    <name>frmEdit</name>
    <message>
        <source>内容をセルに代入し、編集を終わります。</source>
        <translation>Puts the text into the cell and ends editing.</translation>
    </message>
    <message>
        <source>内容を更新せず、編集を終わります。</source>
        <translation>Ends editing without changing the cell.</translation>
    </message>
    <message>
        <source>タグ画面を表示します。</source>
        <translation>Shows the tag view.</translation>
    </message>
    <message>
        <source>プレビュー画面を表示します。</source>
        <translation>Shows the preview.</translation>
    </message>
    <message>
        <source>選択された場所に改行タグを挿入します。</source>
        <translation>Inserts a line-break tag at the selected place.</translation>
    </message>
    <message>
        <source>選択した文字の色やサイズを指定します。</source>
        <translation>Sets the colour and size of the selected text.</translation>
    </message>
    <message>
        <source>選択された文字をリンク付きテキストにします。</source>
        <translation>Makes the selected text a link.</translation>
    </message>
    <message>
        <source>選択された場所に画像を挿入します。</source>
        <translation>Inserts a picture at the selected place.</translation>
    </message>
    <message>
        <source>選択された文字を太字にします。</source>
        <translation>Makes the selected text bold.</translation>
    </message>
    <message>
        <source>選択された文字を斜体にします。</source>
        <translation>Makes the selected text italic.</translation>
    </message>
    <message>
        <source>選択された文字を下線付き文字にします。</source>
        <translation>Underlines the selected text.</translation>
    </message>
    <message>
        <source>選択された文字を取消線付きにします。</source>
        <translation>Strikes through the selected text.</translation>
    </message>
    <message>
        <source>ヘルプを表示します。</source>
        <translation>Shows the help.</translation>
    </message>
    <message>
        <source>複数行編集</source>
        <translation>Multi-line Edit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>セルに代入して閉じる(&amp;S)</source>
        <translation>&amp;Store in the Cell and Close</translation>
    </message>
    <message>
        <source>代入せずに閉じる(&amp;C)</source>
        <translation>&amp;Close Without Storing</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>タグ(&amp;T)</source>
        <translation>&amp;Tags</translation>
    </message>
    <message>
        <source>プレビュー(&amp;P)</source>
        <translation>&amp;Preview</translation>
    </message>
    <message>
        <source>挿入(&amp;I)</source>
        <translation>&amp;Insert</translation>
    </message>
    <message>
        <source>改行(&amp;B)</source>
        <translation>Line &amp;Break</translation>
    </message>
    <message>
        <source>フォント(&amp;F)...</source>
        <translation>&amp;Font...</translation>
    </message>
    <message>
        <source>リンク(&amp;L)...</source>
        <translation>&amp;Link...</translation>
    </message>
    <message>
        <source>画像(&amp;P)...</source>
        <translation>&amp;Picture...</translation>
    </message>
    <message>
        <source>書式(&amp;O)</source>
        <translation>F&amp;ormat</translation>
    </message>
    <message>
        <source>太字(&amp;B)</source>
        <translation>&amp;Bold</translation>
    </message>
    <message>
        <source>斜体(&amp;I)</source>
        <translation>&amp;Italic</translation>
    </message>
    <message>
        <source>下線(&amp;U)</source>
        <translation>&amp;Underline</translation>
    </message>
    <message>
        <source>取り消し線(&amp;S)</source>
        <translation>&amp;Strikethrough</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)...</source>
        <translation>&amp;Help...</translation>
    </message>
    <message>
        <source>セルの内容</source>
        <translation>Cell content</translation>
    </message>
</context>
<context>
    <name>frmFont</name>
    <message>
        <source>フォントの設定</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>見出し(&amp;H)</source>
        <translation>&amp;Heading</translation>
    </message>
    <message>
        <source>見出しにするか設定します。</source>
        <translation>Sets whether the text becomes a heading.</translation>
    </message>
    <message>
        <source>フォントの指定</source>
        <translation>Set the font</translation>
    </message>
    <message>
        <source>フォントを指定するかどうか設定します。</source>
        <translation>Sets whether a font is given.</translation>
    </message>
    <message>
        <source>フォントの種類(&amp;F):</source>
        <translation>&amp;Font:</translation>
    </message>
    <message>
        <source>フォントを設定します。</source>
        <translation>Sets the font.</translation>
    </message>
    <message>
        <source>サイズの指定</source>
        <translation>Set the size</translation>
    </message>
    <message>
        <source>サイズを指定するかどうか設定します。</source>
        <translation>Sets whether a size is given.</translation>
    </message>
    <message>
        <source>サイズ(&amp;S):</source>
        <translation>&amp;Size:</translation>
    </message>
    <message>
        <source>文字サイズを設定します。</source>
        <translation>Sets the text size.</translation>
    </message>
    <message>
        <source>文字色の指定</source>
        <translation>Set the colour</translation>
    </message>
    <message>
        <source>文字色を指定するかどうか設定します。</source>
        <translation>Sets whether a text colour is given.</translation>
    </message>
    <message>
        <source>文字色(&amp;C)：</source>
        <translation>&amp;Colour:</translation>
    </message>
    <message>
        <source>文字の文字色に設定されている色を表示します。</source>
        <translation>Shows the colour set for the text.</translation>
    </message>
    <message>
        <source>文字の文字色を設定します。</source>
        <translation>Sets the text colour.</translation>
    </message>
    <message>
        <source>設定した通りにタグを挿入して閉じます。</source>
        <translation>Inserts the tag as set and closes.</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>設定を反映せずに閉じます。</source>
        <translation>Closes without applying the settings.</translation>
    </message>
</context>
<context>
    <name>frmLink</name>
    <message>
        <source>リンクの設定</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>リンク先(&amp;H)：</source>
        <translation>Link &amp;address:</translation>
    </message>
    <message>
        <source>リンクのリンク先を入力します。</source>
        <translation>Enter the address the link points to.</translation>
    </message>
    <message>
        <source>リンク先がドライブの保存されている場合に、ファイルを選択します。</source>
        <translation>Chooses a file when the link&apos;s target is saved on a drive.</translation>
    </message>
    <message>
        <source>作業ファイルの設定(&amp;S)</source>
        <translation>&amp;Use a work file</translation>
    </message>
    <message>
        <source>作業ファイルを設定するか設定します。チェックすると、作業ファイルを設定できるようになります。</source>
        <translation>Sets whether a work file is used. When checked, a work file can be set.</translation>
    </message>
    <message>
        <source>作業ファイル：</source>
        <translation>Work file:</translation>
    </message>
    <message>
        <source>この表を埋め込むページが存在するフォルダまたは埋め込むページを指定します。</source>
        <translation>Gives the page this table goes into, or the folder that page is in.</translation>
    </message>
    <message>
        <source>作業ファイルを設定します。</source>
        <translation>Sets the work file.</translation>
    </message>
    <message>
        <source>フレームを設定する(&amp;F)</source>
        <translation>Open in a &amp;frame</translation>
    </message>
    <message>
        <source>リンクするフレームを設定するか設定します。</source>
        <translation>Sets whether the link opens in a frame.</translation>
    </message>
    <message>
        <source>フレームの設定</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>フレーム名(&amp;N)：</source>
        <translation>Frame na&amp;me:</translation>
    </message>
    <message>
        <source>リンク先のフレーム名を入力します。</source>
        <translation>Enter the name of the frame the link opens in.</translation>
    </message>
    <message>
        <source>新しいウィンドウ(&amp;W)</source>
        <translation>&amp;New window</translation>
    </message>
    <message>
        <source>新しいウィンドウでリンク先を開きます。</source>
        <translation>Opens the link in a new window.</translation>
    </message>
    <message>
        <source>このウィンドウを閉じて、タグを挿入します。</source>
        <translation>Closes this window and inserts the tag.</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>タグを挿入せずに、ウィンドウを閉じます。</source>
        <translation>Closes the window without inserting a tag.</translation>
    </message>
    <message>
        <source>リンク先の選択</source>
        <translation>Choose the Link Target</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>表ファイルを開く</source>
        <translation>Open a Table File</translation>
    </message>
    <message>
        <source>Quorvan File(*.QVN ･ *.QVF)|*.qvn;*.qvf|HTMLファイル(*.html;*.htm)|*.html;*.htm|CSV・TSVファイル(*.csv;*.tsv)|*.csv;*.tsv|表計算ファイル(*.ods;*.xlsx)|*.ods;*.xlsx</source>
        <translation>Quorvan File(*.QVN, *.QVF)|*.qvn;*.qvf|HTML File(*.html;*.htm)|*.html;*.htm|CSV and TSV Files(*.csv;*.tsv)|*.csv;*.tsv|Spreadsheets(*.ods;*.xlsx)|*.ods;*.xlsx</translation>
    </message>
    <message>
        <source>開くシートを選んでください。</source>
        <translation>Choose the sheet to open.</translation>
    </message>
    <message>
        <source>表ファイルの保存</source>
        <translation>Save the Table File</translation>
    </message>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>新しい表を作成します。</source>
        <translation>Makes a new table.</translation>
    </message>
    <message>
        <source>開く(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>既存の表を開きます。</source>
        <translation>Opens an existing table.</translation>
    </message>
    <message>
        <source>現在編集中の表を保存します。</source>
        <translation>Saves the table you are editing.</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)...</source>
        <translation>&amp;Help...</translation>
    </message>
    <message>
        <source>ヘルプを表示します。</source>
        <translation>Shows the help.</translation>
    </message>
    <message>
        <source>見出し(&amp;H)</source>
        <translation>&amp;Header</translation>
    </message>
    <message>
        <source>選択されたセルを見出しセルにします。</source>
        <translation>Makes the selected cell a header cell.</translation>
    </message>
    <message>
        <source>全体設定画面に切り替えます。</source>
        <translation>Switches to the table settings.</translation>
    </message>
    <message>
        <source>セル設定画面に切り替えます。</source>
        <translation>Switches to the cell settings.</translation>
    </message>
    <message>
        <source>タグ表示画面に切り替えます。</source>
        <translation>Switches to the tag view.</translation>
    </message>
    <message>
        <source>プレビュー画面に切り替えます。</source>
        <translation>Switches to the preview.</translation>
    </message>
    <message>
        <source>関連づけられたブラウザでプレビューします。</source>
        <translation>Previews in your web browser.</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>セル(&amp;S)</source>
        <translation>&amp;Cell</translation>
    </message>
    <message>
        <source>セル通常編集(&amp;E)</source>
        <translation>&amp;Edit Cell</translation>
    </message>
    <message>
        <source>セル複数行編集(&amp;M)</source>
        <translation>&amp;Multi-line Edit</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;P)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)...</source>
        <translation>&amp;About Quorvan...</translation>
    </message>
    <message>
        <source>新規テーブル</source>
        <translation>New Table</translation>
    </message>
    <message>
        <source>編集(&amp;N)</source>
        <translation>E&amp;dit</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U) - %1</source>
        <translation>&amp;Undo %1</translation>
    </message>
    <message>
        <source>元に戻す変更はありません。</source>
        <translation>There is no change to undo.</translation>
    </message>
    <message>
        <source>「%1」の変更を元に戻します。</source>
        <translation>Undoes the change of %1.</translation>
    </message>
    <message>
        <source>やり直し(&amp;R) - %1</source>
        <translation>&amp;Redo %1</translation>
    </message>
    <message>
        <source>やり直す変更はありません。</source>
        <translation>There is no change to redo.</translation>
    </message>
    <message>
        <source>「%1」の変更をやり直します。</source>
        <translation>Redoes the change of %1.</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>前回終了しなかったテーブルがあります。復元しますか？</source>
        <translation>Some tables were left when Quorvan last ended without closing them. Restore them?</translation>
    </message>
    <message>
        <source>「%1」への変更を保存しますか？</source>
        <translation>Save the changes to &quot;%1&quot;?</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>保存しない(&amp;N)</source>
        <translation>Do&amp;n&apos;t Save</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ページを開くブラウザーが見つかりません。次のファイルをブラウザーで開いてください。
%1</source>
        <translation>No browser was found to open the page. Open this file in a browser:
%1</translation>
    </message>
    <message>
        <source>検索(&amp;F)...</source>
        <translation>&amp;Find...</translation>
    </message>
    <message>
        <source>置換(&amp;H)...</source>
        <translation>R&amp;eplace...</translation>
    </message>
    <message>
        <source>全体設定(&amp;T)</source>
        <translation>&amp;Table Settings</translation>
    </message>
    <message>
        <source>セル設定(&amp;C)</source>
        <translation>&amp;Cell Settings</translation>
    </message>
    <message>
        <source>タグ表示(&amp;G)</source>
        <translation>Ta&amp;gs</translation>
    </message>
    <message>
        <source>プレビュー(&amp;P)</source>
        <translation>&amp;Preview</translation>
    </message>
    <message>
        <source>ブラウザでプレビュー(&amp;B)</source>
        <translation>Preview in &amp;Browser</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>次のペイン(&amp;N)</source>
        <translation>&amp;Next Pane</translation>
    </message>
    <message>
        <source>前のペイン(&amp;R)</source>
        <translation>P&amp;revious Pane</translation>
    </message>
    <message>
        <source>タグ表示</source>
        <translation>Tag view</translation>
    </message>
    <message>
        <source>次を検索(&amp;N)</source>
        <translation>Find &amp;Next</translation>
    </message>
    <message>
        <source>前を検索(&amp;V)</source>
        <translation>Find Pre&amp;vious</translation>
    </message>
    <message>
        <source>&quot;%1&quot;の表を開きました。%2</source>
        <translation>Opened the table of &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>メモリーが足りないため、この操作を最後まで行えませんでした。</source>
        <translation>There was not enough memory to finish this command.</translation>
    </message>
    <message>
        <source>Quorvan File(*.QVN)|*.qvn|HTMLファイル (*.html;*.htm)|*.html;*.htm|HTMLページ (*.html)|*.html|CSVファイル (*.csv)|*.csv|CSV・TSVファイル、数式のまま(*.csv;*.tsv)|*.csv;*.tsv|TSVファイル (*.tsv)|*.tsv|Markdownファイル (*.md)|*.md|LaTeXファイル (*.tex)|*.tex|MediaWikiファイル (*.wiki)|*.wiki|AsciiDocファイル (*.adoc)|*.adoc|reStructuredTextファイル (*.rst)|*.rst|すべてのファイル(*.*)|*.*</source>
        <translation>Quorvan File(*.QVN)|*.qvn|HTML File (*.html;*.htm)|*.html;*.htm|HTML Page (*.html)|*.html|CSV File (*.csv)|*.csv|CSV or TSV File, formulas kept (*.csv;*.tsv)|*.csv;*.tsv|TSV File (*.tsv)|*.tsv|Markdown File (*.md)|*.md|LaTeX File (*.tex)|*.tex|MediaWiki File (*.wiki)|*.wiki|AsciiDoc File (*.adoc)|*.adoc|reStructuredText File (*.rst)|*.rst|All Files(*.*)|*.*</translation>
    </message>
    <message>
        <source>メモリーが足りないため、HTML を作れませんでした。</source>
        <translation>There was not enough memory to make the HTML.</translation>
    </message>
    <message>
        <source>アクセシビリティの確認(&amp;Y)...</source>
        <translation>Check Accessibilit&amp;y...</translation>
    </message>
    <message>
        <source>見出し行にする(&amp;K)</source>
        <translation>Ma&amp;ke Header Row</translation>
    </message>
    <message>
        <source>見出し行にする</source>
        <translation>Make Header Row</translation>
    </message>
</context>
<context>
    <name>frmPicture</name>
    <message>
        <source>画像の挿入</source>
        <translation>Insert Picture</translation>
    </message>
    <message>
        <source>画像のアドレス(&amp;A)：</source>
        <translation>Picture &amp;address:</translation>
    </message>
    <message>
        <source>挿入する画像のアドレスを入力します。</source>
        <translation>Enter the address of the picture to insert.</translation>
    </message>
    <message>
        <source>挿入する画像がドライブの保存されている場合に、ファイルを選択します。</source>
        <translation>Chooses a file when the picture is saved on a drive.</translation>
    </message>
    <message>
        <source>代替テキスト(&amp;T)：</source>
        <translation>Alternative &amp;text:</translation>
    </message>
    <message>
        <source>画像の上にポイントしたときに、表示されるテキストを設定します。</source>
        <translation>Sets the text shown when the pointer rests on the picture.</translation>
    </message>
    <message>
        <source>枠の太さ(&amp;B)：</source>
        <translation>&amp;Border:</translation>
    </message>
    <message>
        <source>画像の枠の太さを指定します。</source>
        <translation>Sets the width of the picture&apos;s border.</translation>
    </message>
    <message>
        <source>縦の大きさ(&amp;H)：</source>
        <translation>&amp;Height:</translation>
    </message>
    <message>
        <source>画像の縦の大きさを%で指定します。</source>
        <translation>Sets the picture&apos;s height, in per cent.</translation>
    </message>
    <message>
        <source>ﾋﾟｸｾﾙ</source>
        <translation>pixels</translation>
    </message>
    <message>
        <source>横の大きさ(&amp;W)：</source>
        <translation>&amp;Width:</translation>
    </message>
    <message>
        <source>画像の横の大きさを%で指定します。</source>
        <translation>Sets the picture&apos;s width, in per cent.</translation>
    </message>
    <message>
        <source>作業ファイルの設定(&amp;S)</source>
        <translation>&amp;Use a work file</translation>
    </message>
    <message>
        <source>作業ファイルを設定するか設定します。チェックすると、作業ファイルを設定できるようになります。</source>
        <translation>Sets whether a work file is used. When checked, a work file can be set.</translation>
    </message>
    <message>
        <source>作業ファイル：</source>
        <translation>Work file:</translation>
    </message>
    <message>
        <source>この表を埋め込むページが存在するフォルダまたは埋め込むページを指定します。</source>
        <translation>Gives the page this table goes into, or the folder that page is in.</translation>
    </message>
    <message>
        <source>作業ファイルを設定します。</source>
        <translation>Sets the work file.</translation>
    </message>
    <message>
        <source>このウィンドウを閉じて、タグを挿入します。</source>
        <translation>Closes this window and inserts the tag.</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>タグを挿入せずに、ウィンドウを閉じます。</source>
        <translation>Closes the window without inserting a tag.</translation>
    </message>
    <message>
        <source>画像ファイルの選択</source>
        <translation>Choose the Picture File</translation>
    </message>
    <message>
        <source>縦の大きさをピクセルで指定</source>
        <translation>Height in pixels</translation>
    </message>
    <message>
        <source>横の大きさをピクセルで指定</source>
        <translation>Width in pixels</translation>
    </message>
</context>
</TS>
