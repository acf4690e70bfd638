<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Trellisane</name>
    <message>
        <source>Folders</source>
        <translation>フォルダー</translation>
    </message>
    <message>
        <source>Each listed folder&apos;s current path and its new path. Delete removes the selected row; the context menu key opens the list&apos;s menu.</source>
        <translation>一覧にある各フォルダーの現在のパスと新しいパス。Delete キーで選択した行を削除し、コンテキストメニューキーで一覧のメニューを開きます。</translation>
    </message>
    <message>
        <source>Picks a folder and adds it to the list.</source>
        <translation>フォルダーを選んで一覧に追加します。</translation>
    </message>
    <message>
        <source>Renames every listed folder to its new path.</source>
        <translation>一覧にあるすべてのフォルダーを新しいパスに名前変更します。</translation>
    </message>
    <message>
        <source>Renaming operation</source>
        <translation>名前の変更方法</translation>
    </message>
    <message>
        <source>Removes every folder from the list; nothing on disk changes.</source>
        <translation>一覧からすべてのフォルダーを削除します。ディスク上は何も変わりません。</translation>
    </message>
    <message>
        <source>Adds the sample folders that come with the program.</source>
        <translation>プログラム付属のサンプルフォルダーを追加します。</translation>
    </message>
    <message>
        <source>Tells where to ask questions.</source>
        <translation>質問の問い合わせ先を表示します。</translation>
    </message>
    <message>
        <source>Cannot be renamed.</source>
        <translation>名前を変更できません。</translation>
    </message>
    <message>
        <source>Unchanged: the new name is the current name.</source>
        <translation>変更なし: 新しい名前は現在の名前と同じです。</translation>
    </message>
    <message>
        <source>Renamed.</source>
        <translation>名前を変更しました。</translation>
    </message>
    <message>
        <source>Could not be renamed.</source>
        <translation>名前を変更できませんでした。</translation>
    </message>
    <message>
        <source>Made by an earlier preview.</source>
        <translation>以前のプレビューで作成されました。</translation>
    </message>
    <message>
        <source>Renamed by the last run, from &quot;%1&quot;.</source>
        <translation>前回の実行で「%1」から名前を変更しました。</translation>
    </message>
    <message>
        <source>Left as it is by the last run: its new name was its current name.</source>
        <translation>前回の実行ではそのままにしました: 新しい名前が現在の名前と同じでした。</translation>
    </message>
    <message>
        <source>The last run could not rename it:
%1</source>
        <translation>前回の実行では名前を変更できませんでした:
%1</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot;, listed earlier, gets this new name first.</source>
        <translation>先に一覧にあるフォルダー「%1」が先にこの新しい名前になります。</translation>
    </message>
    <message>
        <source>After the whole run the folder will be at &quot;%1&quot;.</source>
        <translation>実行全体が終わると、フォルダーは「%1」になります。</translation>
    </message>
    <message>
        <source>an earlier operation</source>
        <translation>以前の操作</translation>
    </message>
    <message>
        <source>Not made by the latest preview but earlier, by %1. Start Renaming applies it as shown.</source>
        <translation>最新のプレビューではなく、以前に %1 で作成されました。「名前の変更を開始」は表示どおりに適用します。</translation>
    </message>
    <message>
        <source>Questions? Please contact Team Quorvane at </source>
        <translation>ご質問は Quorvane チームまでお問い合わせください: </translation>
    </message>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>これらのサンプルが保存されているフォルダーを開きますか？（操作する前に中身を確認できます）</translation>
    </message>
    <message>
        <source>The pointer image %1 could not be read.</source>
        <translation>ポインター画像 %1 を読み込めませんでした。</translation>
    </message>
    <message>
        <source>Name Of Folder - Current</source>
        <translation>フォルダー名 - 現在</translation>
    </message>
    <message>
        <source>Name Of Folder - New Name</source>
        <translation>フォルダー名 - 新しい名前</translation>
    </message>
    <message>
        <source>There is no listing of %1 to go through.</source>
        <translation>%1 の一覧がありません。</translation>
    </message>
    <message>
        <source>The operation selector has no row %1.</source>
        <translation>操作の選択欄に %1 行目がありません。</translation>
    </message>
    <message>
        <source>Please select folder:</source>
        <translation>フォルダーを選択してください:</translation>
    </message>
    <message>
        <source>Add Folder/s</source>
        <translation>フォルダーを追加</translation>
    </message>
    <message>
        <source>Start Renaming</source>
        <translation>名前の変更を開始</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>オプション</translation>
    </message>
    <message>
        <source>Add Folder Option</source>
        <translation>フォルダー追加のオプション</translation>
    </message>
    <message>
        <source>Add subfolders when adding folder</source>
        <translation>フォルダーの追加時にサブフォルダーも追加</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>一覧を消去</translation>
    </message>
    <message>
        <source>Load Sample/Example Folders</source>
        <translation>サンプルフォルダーを読み込む</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>項目をダブルクリックすると削除します。| の線を右へウィンドウの外まで動かすと名前全体が見えます。</translation>
    </message>
    <message>
        <source>Remove Rows That Cannot Be Renamed</source>
        <translation>名前を変更できない行を削除</translation>
    </message>
    <message>
        <source>No folders added.</source>
        <translation>フォルダーが追加されていません。</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>完了しました。</translation>
    </message>
    <message>
        <source>Renaming folder 1 of %1</source>
        <translation>フォルダーの名前を変更中 (1 / %1)</translation>
    </message>
    <message>
        <source>Renaming folder %1 of %2
%3</source>
        <translation>フォルダーの名前を変更中 (%1 / %2)
%3</translation>
    </message>
    <message>
        <source>Renaming was stopped: %1 of %2 folders renamed</source>
        <translation>名前の変更を中止しました: %2 個中 %1 個のフォルダーの名前を変更しました</translation>
    </message>
    <message>
        <source>, %1 left as they are (their names do not change)</source>
        <translation>、%1 個はそのまま (名前が変わりません)</translation>
    </message>
    <message>
        <source>, %1 could not be renamed</source>
        <translation>、%1 個は名前を変更できませんでした</translation>
    </message>
    <message>
        <source>, %1 not tried</source>
        <translation>、%1 個は未実行</translation>
    </message>
    <message>
        <source>. &quot;Start Renaming&quot; renames the folders not tried.</source>
        <translation>。「名前の変更を開始」で未実行のフォルダーの名前を変更します。</translation>
    </message>
    <message>
        <source>The skin file %1 could not be read: %2</source>
        <translation>スキンファイル %1 を読み込めませんでした: %2</translation>
    </message>
    <message>
        <source>The web browser could not be started to open %1.</source>
        <translation>%1 を開くための Web ブラウザーを起動できませんでした。</translation>
    </message>
    <message>
        <source>Ticked: &quot;Add Folder/s&quot; lists the folder you pick and every folder beneath it, and Start Renaming renames them all, the picked folder itself too. A folder whose name holds a character outside the single-byte set, a &quot;?&quot; or a control character, or is 260 characters or longer, is left out with everything beneath it, and you are told which.
Not ticked: only the picked folder is listed.</source>
        <translation>オン: 「フォルダーを追加」は選んだフォルダーとその下のすべてのフォルダーを一覧に加え、「名前の変更を開始」は選んだフォルダー自身も含めてすべての名前を変更します。名前にシングルバイト文字セット外の文字、「?」、制御文字を含むか、260 文字以上の名前のフォルダーは、その下のものと一緒に除外され、どれが除外されたかが通知されます。
オフ: 選んだフォルダーだけを一覧に加えます。</translation>
    </message>
    <message>
        <source>Try &apos;trellisane-cli --help&apos;.</source>
        <translation>&apos;trellisane-cli --help&apos; を参照してください。</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; takes no value</source>
        <translation>オプション &apos;%1&apos; は値を取りません</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a value</source>
        <translation>オプション &apos;%1&apos; には値が必要です</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a file name</source>
        <translation>オプション &apos;%1&apos; にはファイル名が必要です</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>不明なオプション &apos;%1&apos;</translation>
    </message>
    <message>
        <source>the value of &apos;%1&apos; is not valid UTF-8</source>
        <translation>&apos;%1&apos; の値は正しい UTF-8 ではありません</translation>
    </message>
    <message>
        <source>--undo takes no --operation, --journal, --status, --check or FOLDER</source>
        <translation>--undo は --operation、--journal、--status、--check、フォルダーと一緒に使えません</translation>
    </message>
    <message>
        <source>--journal needs --apply</source>
        <translation>--journal には --apply が必要です</translation>
    </message>
    <message>
        <source>--operation is missing</source>
        <translation>--operation がありません</translation>
    </message>
    <message>
        <source>no FOLDER given</source>
        <translation>フォルダーが指定されていません</translation>
    </message>
    <message>
        <source>--status and --check show a preview; they do not go with --apply</source>
        <translation>--status と --check はプレビューを表示するもので、--apply と一緒に使えません</translation>
    </message>
    <message>
        <source> and </source>
        <translation> と </translation>
    </message>
    <message>
        <source>&apos;%1&apos; needs %2</source>
        <translation>&apos;%1&apos; には %2 が必要です</translation>
    </message>
    <message>
        <source>warning: --%1 is not used by &apos;%2&apos; and changes nothing</source>
        <translation>警告: --%1 は &apos;%2&apos; では使われず、何も変えません</translation>
    </message>
    <message>
        <source>cannot write the output</source>
        <translation>出力を書き込めません</translation>
    </message>
    <message>
        <source>--operation &apos;%1&apos; selects no operation; the operations are:</source>
        <translation>--operation &apos;%1&apos; に該当する操作がありません。操作は次のとおりです:</translation>
    </message>
    <message>
        <source>cannot read the working directory for &apos;%1&apos;</source>
        <translation>&apos;%1&apos; の作業ディレクトリを読み取れません</translation>
    </message>
    <message>
        <source>the name of &apos;%1&apos; is not valid UTF-8</source>
        <translation>&apos;%1&apos; の名前は正しい UTF-8 ではありません</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not an existing folder</source>
        <translation>&apos;%1&apos; は存在するフォルダーではありません</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to </source>
        <translation>このメッセージのスクリーンショットを次の宛先にメールしてください: </translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>不明なエラー</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>アプリケーションエラー</translation>
    </message>
    <message>
        <source>Writes every letter of each folder&apos;s name in upper case.</source>
        <translation>各フォルダー名のすべての文字を大文字にします。</translation>
    </message>
    <message>
        <source>Writes every letter of each folder&apos;s name in lower case.</source>
        <translation>各フォルダー名のすべての文字を小文字にします。</translation>
    </message>
    <message>
        <source>Writes the first letter of every word of each folder&apos;s name in upper case and the rest in lower case.</source>
        <translation>各フォルダー名の単語ごとに先頭の文字を大文字、残りを小文字にします。</translation>
    </message>
    <message>
        <source>Writes the first letter of each folder&apos;s name in upper case and the rest in lower case.</source>
        <translation>各フォルダー名の先頭の文字を大文字、残りを小文字にします。</translation>
    </message>
    <message>
        <source>Adds x at the beginning of each folder&apos;s name.</source>
        <translation>各フォルダー名の先頭に x を追加します。</translation>
    </message>
    <message>
        <source>x is the text to add; you are asked for it.</source>
        <translation>x は追加するテキストで、入力を求められます。</translation>
    </message>
    <message>
        <source>Adds x at the end of each folder&apos;s name.</source>
        <translation>各フォルダー名の末尾に x を追加します。</translation>
    </message>
    <message>
        <source>Adds x before every y in each folder&apos;s name.</source>
        <translation>各フォルダー名のすべての y の前に x を追加します。</translation>
    </message>
    <message>
        <source>y is the text to look for and x the text to add; you are asked for y, then for x.</source>
        <translation>y は探すテキスト、x は追加するテキストで、y、x の順に入力を求められます。</translation>
    </message>
    <message>
        <source>Adds x after every y in each folder&apos;s name.</source>
        <translation>各フォルダー名のすべての y の後に x を追加します。</translation>
    </message>
    <message>
        <source>Removes every blank from each folder&apos;s name.</source>
        <translation>各フォルダー名からすべての空白を削除します。</translation>
    </message>
    <message>
        <source>Removes the empty lines from names that hold line breaks: two line breaks in a row become one.</source>
        <translation>改行を含む名前から空行を削除します。連続する 2 つの改行は 1 つになります。</translation>
    </message>
    <message>
        <source>Removes the letters A to Z and a to z from each folder&apos;s name.</source>
        <translation>各フォルダー名から A～Z と a～z の文字を削除します。</translation>
    </message>
    <message>
        <source>Removes the digits 0 to 9 from each folder&apos;s name.</source>
        <translation>各フォルダー名から数字 0～9 を削除します。</translation>
    </message>
    <message>
        <source>Removes the letters A to Z and a to z and the digits 0 to 9 from each folder&apos;s name.</source>
        <translation>各フォルダー名から A～Z と a～z の文字と数字 0～9 を削除します。</translation>
    </message>
    <message>
        <source>Keeps only the letters A to Z and a to z, the digits 0 to 9, blanks and line breaks in each folder&apos;s name.</source>
        <translation>各フォルダー名で A～Z と a～z の文字、数字 0～9、空白、改行だけを残します。</translation>
    </message>
    <message>
        <source>Removes every x from each folder&apos;s name.</source>
        <translation>各フォルダー名からすべての x を削除します。</translation>
    </message>
    <message>
        <source>x is the text to remove; you are asked for it.</source>
        <translation>x は削除するテキストで、入力を求められます。</translation>
    </message>
    <message>
        <source>Replaces every occurrence of one text with another in each folder&apos;s name.</source>
        <translation>各フォルダー名で、あるテキストをすべて別のテキストに置き換えます。</translation>
    </message>
    <message>
        <source>You are asked for the text to find, then for the text to put in its place; if either is left empty, no name changes.</source>
        <translation>検索するテキスト、次に置き換えるテキストの入力を求められます。どちらかが空なら名前は変わりません。</translation>
    </message>
    <message>
        <source>A separator: picking it changes no name.</source>
        <translation>区切り線です。選んでも名前は変わりません。</translation>
    </message>
    <message>
        <source>Example: %1 becomes %2.</source>
        <translation>例: %1 は %2 になります。</translation>
    </message>
    <message>
        <source>Example: with %1, %2 becomes %3.</source>
        <translation>例: %1 のとき、%2 は %3 になります。</translation>
    </message>
    <message>
        <source>(%1 stands for a line break.)</source>
        <translation>(%1 は改行を表します。)</translation>
    </message>
    <message>
        <source>%1 with %2</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Enter text to add: </source>
        <translation>追加するテキストを入力: </translation>
    </message>
    <message>
        <source>Enter text to add (x): </source>
        <translation>追加するテキストを入力 (x): </translation>
    </message>
    <message>
        <source>Change case of folder(s) to UPPER CASE</source>
        <translation>フォルダー名を大文字 (UPPER CASE) に変更</translation>
    </message>
    <message>
        <source>Change case of folder(s) to lower case</source>
        <translation>フォルダー名を小文字 (lower case) に変更</translation>
    </message>
    <message>
        <source>Change case of folder(s) to Proper Case</source>
        <translation>フォルダー名を単語ごとに先頭大文字 (Proper Case) に変更</translation>
    </message>
    <message>
        <source>Change case of folder(s) to Sentence case</source>
        <translation>フォルダー名を先頭だけ大文字 (Sentence case) に変更</translation>
    </message>
    <message>
        <source>Add x to beginning of each in folder(s)</source>
        <translation>各フォルダー名の先頭に x を追加</translation>
    </message>
    <message>
        <source>Add x to end of each in folder(s)</source>
        <translation>各フォルダー名の末尾に x を追加</translation>
    </message>
    <message>
        <source>Add x before every y character(s) in folder(s)</source>
        <translation>フォルダー名のすべての y の前に x を追加</translation>
    </message>
    <message>
        <source>Enter before text (y): </source>
        <translation>前に追加する位置のテキストを入力 (y): </translation>
    </message>
    <message>
        <source>Add x after every y character(s) in folder(s)</source>
        <translation>フォルダー名のすべての y の後に x を追加</translation>
    </message>
    <message>
        <source>Enter after text (y): </source>
        <translation>後に追加する位置のテキストを入力 (y): </translation>
    </message>
    <message>
        <source>Remove all spaces in folder(s)</source>
        <translation>フォルダー名の空白をすべて削除</translation>
    </message>
    <message>
        <source>Remove all blank lines (enters) in folder(s)</source>
        <translation>フォルダー名の空行 (改行) をすべて削除</translation>
    </message>
    <message>
        <source>Remove alphabet character(s) in folder(s)</source>
        <translation>フォルダー名の英字を削除</translation>
    </message>
    <message>
        <source>Remove numeric character(s) in folder(s)</source>
        <translation>フォルダー名の数字を削除</translation>
    </message>
    <message>
        <source>Remove alphanumeric character(s) in folder(s)</source>
        <translation>フォルダー名の英数字を削除</translation>
    </message>
    <message>
        <source>Remove non-alphanumeric character(s) in folder(s)</source>
        <translation>フォルダー名の英数字以外を削除</translation>
    </message>
    <message>
        <source>Remove x (user-specified) in folder(s)</source>
        <translation>フォルダー名の x (指定した文字) を削除</translation>
    </message>
    <message>
        <source>Please enter characters you would like to remove:</source>
        <translation>削除する文字を入力してください:</translation>
    </message>
    <message>
        <source>Find and replace x (user-specified) character(s) in folder(s)</source>
        <translation>フォルダー名の x (指定した文字) を検索して置換</translation>
    </message>
    <message>
        <source>Find What:</source>
        <translation>検索する文字列:</translation>
    </message>
    <message>
        <source>Replace With:</source>
        <translation>置換後の文字列:</translation>
    </message>
    <message>
        <source>another listed folder</source>
        <translation>一覧にある別のフォルダー</translation>
    </message>
    <message>
        <source>another folder</source>
        <translation>別のフォルダー</translation>
    </message>
    <message>
        <source>a file</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>a listed symbolic link</source>
        <translation>一覧にあるシンボリックリンク</translation>
    </message>
    <message>
        <source>a symbolic link</source>
        <translation>シンボリックリンク</translation>
    </message>
    <message>
        <source>The folder&apos;s path holds a NUL character.</source>
        <translation>フォルダーのパスに NUL 文字が含まれています。</translation>
    </message>
    <message>
        <source>The folder has no name to change.</source>
        <translation>フォルダーに変更できる名前がありません。</translation>
    </message>
    <message>
        <source>The new path is not in the folder&apos;s own parent folder.</source>
        <translation>新しいパスがフォルダー自身の親フォルダーの中にありません。</translation>
    </message>
    <message>
        <source>The new name would be empty.</source>
        <translation>新しい名前が空になります。</translation>
    </message>
    <message>
        <source>The new name &quot;%1&quot; is not a folder name.</source>
        <translation>新しい名前「%1」はフォルダー名として使えません。</translation>
    </message>
    <message>
        <source>The new name &quot;%1&quot; holds a path separator.</source>
        <translation>新しい名前「%1」にパスの区切り文字が含まれています。</translation>
    </message>
    <message>
        <source>The new name holds a NUL character.</source>
        <translation>新しい名前に NUL 文字が含まれています。</translation>
    </message>
    <message>
        <source>The new name is longer than its file system allows.</source>
        <translation>新しい名前がファイルシステムの許す長さを超えています。</translation>
    </message>
    <message>
        <source>You may not rename folders in its parent folder.</source>
        <translation>親フォルダー内のフォルダーの名前を変更する権限がありません。</translation>
    </message>
    <message>
        <source>The folder is on a read-only file system.</source>
        <translation>フォルダーは読み取り専用のファイルシステム上にあります。</translation>
    </message>
    <message>
        <source>The folder cannot be renamed.</source>
        <translation>フォルダーの名前を変更できません。</translation>
    </message>
    <message>
        <source>a folder of that name is already there</source>
        <translation>同じ名前のフォルダーが既にあります</translation>
    </message>
    <message>
        <source>a file of that name is already there</source>
        <translation>同じ名前のファイルが既にあります</translation>
    </message>
    <message>
        <source>a symbolic link of that name is already there</source>
        <translation>同じ名前のシンボリックリンクが既にあります</translation>
    </message>
    <message>
        <source>a folder of that name is already there, given it by row %1</source>
        <translation>同じ名前のフォルダーが既にあります (%1 行目で付けた名前)</translation>
    </message>
    <message>
        <source>no folder is there any more</source>
        <translation>フォルダーがもうありません</translation>
    </message>
    <message>
        <source>its parent folder may not be changed</source>
        <translation>親フォルダーを変更する権限がありません</translation>
    </message>
    <message>
        <source>its file system is read-only</source>
        <translation>ファイルシステムが読み取り専用です</translation>
    </message>
    <message>
        <source>the name is longer than its file system allows</source>
        <translation>名前がファイルシステムの許す長さを超えています</translation>
    </message>
    <message>
        <source>The folder gets its new name.</source>
        <translation>フォルダーは新しい名前になります。</translation>
    </message>
    <message>
        <source>The new name is the folder&apos;s current name.</source>
        <translation>新しい名前はフォルダーの現在の名前と同じです。</translation>
    </message>
    <message>
        <source>The row has no new name: it has not been previewed.</source>
        <translation>この行には新しい名前がありません: プレビューされていません。</translation>
    </message>
    <message>
        <source>The new name is already taken by %1 in its parent folder.</source>
        <translation>新しい名前は親フォルダー内で既に %1 が使っています。</translation>
    </message>
    <message>
        <source>Row %1 gives its folder this new name first.</source>
        <translation>%1 行目が先に自分のフォルダーにこの新しい名前を付けます。</translation>
    </message>
    <message>
        <source>The folder is no longer at its current path.</source>
        <translation>フォルダーはもう現在のパスにありません。</translation>
    </message>
    <message>
        <source>The folder cannot be renamed: %1.</source>
        <translation>フォルダーの名前を変更できません: %1。</translation>
    </message>
    <message>
        <source>The run was stopped before this folder&apos;s turn.</source>
        <translation>このフォルダーの順番が来る前に実行が中止されました。</translation>
    </message>
    <message>
        <source>No new name: %1 has not been previewed.</source>
        <translation>新しい名前がありません: %1 はプレビューされていません。</translation>
    </message>
    <message>
        <source>%1 was not renamed to &quot;%2&quot;: the run was stopped before its turn.</source>
        <translation>%1 は「%2」に名前を変更されませんでした: 順番が来る前に実行が中止されました。</translation>
    </message>
    <message>
        <source>%1 cannot be renamed to &quot;%2&quot;. </source>
        <translation>%1 の名前を「%2」に変更できません。</translation>
    </message>
    <message>
        <source>%1 folders could not be put back</source>
        <translation>%1 個のフォルダーを元に戻せませんでした</translation>
    </message>
    <message>
        <source>
and %1 more</source>
        <translation>
ほか %1 個</translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>ほか %n 個</numerusform>
        </translation>
    </message>
    <message>
        <source>Undo Last Renaming</source>
        <translation>最後の名前の変更を元に戻す</translation>
    </message>
    <message>
        <source>1 folder was put back where it was before the last run.</source>
        <translation>1 個のフォルダーを前回の実行前の状態に戻しました。</translation>
    </message>
    <message>
        <source>%1 folders were put back where they were before the last run.</source>
        <translation>%1 個のフォルダーを前回の実行前の状態に戻しました。</translation>
    </message>
    <message>
        <source>%1: %2 cannot be renamed to &quot;%3&quot;</source>
        <translation>%1: %2 の名前を「%3」に変更できません</translation>
    </message>
    <message>
        <source> (%1)</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>The renaming operation, which gives every listed folder its new name.</source>
        <translation>名前の変更方法です。一覧にある各フォルダーに新しい名前を付けます。</translation>
    </message>
    <message>
        <source>The folder lies inside the installed program&apos;s own folder %1, which Trellisane never changes. To try the samples, copy that folder somewhere of your own and start the trellisane program inside the copy.</source>
        <translation>このフォルダーは、Trellisane が決して変更しないインストール済みプログラム自身のフォルダー %1 の中にあります。サンプルを試すには、そのフォルダーを自分の場所にコピーし、コピーの中の trellisane プログラムを起動してください。</translation>
    </message>
    <message>
        <source>
… and %1 more</source>
        <translation>
… ほか %1 個</translation>
    </message>
    <message>
        <source>Only folders are listed, so these were not added:

%1</source>
        <translation>一覧に載るのはフォルダーだけなので、次のものは追加しませんでした:

%1</translation>
    </message>
    <message numerus="yes">
        <source>%n folder(s) beneath the folder you added were left out, each with everything beneath it, and will not be renamed: their names hold a character outside the single-byte character set, a &quot;?&quot; or a control character, or are 260 characters or longer.</source>
        <translation>
            <numerusform>追加したフォルダーの下にある %n 個のフォルダーを、その下にあるものすべてと一緒に除外しました。これらは名前を変更しません。名前にシングルバイト文字セット外の文字、「?」、制御文字が含まれているか、名前が 260 文字以上です。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more folder(s) could not be renamed. Each of their rows is marked with the reason.</source>
        <translation>
            <numerusform>さらに %n 個のフォルダーの名前を変更できませんでした。それぞれの行に理由が示されています。</numerusform>
        </translation>
    </message>
    <message>
        <source>The undo covers the last run only: %1 folders renamed by earlier runs keep their new names.</source>
        <translation>元に戻すのは前回の実行だけです: それ以前の実行で名前を変更した %1 個のフォルダーは新しい名前のままです。</translation>
    </message>
    <message>
        <source>--trust-paths goes with --undo</source>
        <translation>--trust-paths は --undo と一緒に使います</translation>
    </message>
    <message>
        <source>NTFS (through ntfs-3g, held to Windows&apos; naming rules)</source>
        <translation>NTFS (ntfs-3g 経由、Windows の命名規則に従う)</translation>
    </message>
    <message>
        <source>exFAT (through exfat-fuse)</source>
        <translation>exFAT (exfat-fuse 経由)</translation>
    </message>
    <message>
        <source>NTFS (ntfs3 with Windows&apos; naming rules)</source>
        <translation>NTFS (Windows の命名規則を使う ntfs3)</translation>
    </message>
    <message>
        <source>The new name holds &quot;%1&quot;, which %2 does not allow in names.</source>
        <translation>新しい名前に「%1」が含まれていますが、%2 では名前に使えません。</translation>
    </message>
    <message>
        <source>The new name holds a control character, which %1 does not allow in names.</source>
        <translation>新しい名前に制御文字が含まれていますが、%1 では名前に使えません。</translation>
    </message>
    <message>
        <source>The new name ends with a blank, which %1 does not allow.</source>
        <translation>新しい名前が空白で終わっていますが、%1 ではこれが許されません。</translation>
    </message>
    <message>
        <source>The new name ends with a dot, which %1 does not allow.</source>
        <translation>新しい名前がドットで終わっていますが、%1 ではこれが許されません。</translation>
    </message>
    <message>
        <source>The new name ends with a dot, which %1 would silently drop.</source>
        <translation>新しい名前がドットで終わっていますが、%1 はこのドットを黙って取り除きます。</translation>
    </message>
    <message>
        <source>The new name &quot;%1&quot; is a device name, which %2 does not allow.</source>
        <translation>新しい名前「%1」はデバイス名で、%2 では使えません。</translation>
    </message>
    <message>
        <source>The folder comes from a lower layer of an overlay mounted without redirect_dir, which cannot rename it.</source>
        <translation>このフォルダーは redirect_dir なしでマウントされたオーバーレイの下位レイヤーにあるため、名前を変更できません。</translation>
    </message>
    <message>
        <source>The renaming may fail: the folder is on an overlay mounted without redirect_dir, whose lower layers cannot be seen from here, and a folder from a lower layer cannot be renamed there.</source>
        <translation>名前の変更に失敗する可能性があります: このフォルダーは redirect_dir なしでマウントされたオーバーレイ上にあり、その下位レイヤーはここからは見えません。下位レイヤーのフォルダーはそこでは名前を変更できません。</translation>
    </message>
    <message>
        <source>It is the root folder, which the system stands on.</source>
        <translation>これはシステムが置かれているルートフォルダーです。</translation>
    </message>
    <message>
        <source>It lies directly in the root folder, where the system keeps its own folders.</source>
        <translation>これはルートフォルダーの直下にあり、そこにはシステム自身のフォルダーが置かれています。</translation>
    </message>
    <message>
        <source>It is your home folder.</source>
        <translation>これはあなたのホームフォルダーです。</translation>
    </message>
    <message>
        <source>A file system is mounted on it; unmount it first.</source>
        <translation>ここにはファイルシステムがマウントされています。先にアンマウントしてください。</translation>
    </message>
    <message>
        <source>(not recorded)</source>
        <translation>(記録なし)</translation>
    </message>
    <message>
        <source>%1 = &quot;%2&quot;</source>
        <translation>%1 = &quot;%2&quot;</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <source>Show Undo</source>
        <translation>元に戻す内容を表示</translation>
    </message>
    <message>
        <source>Export CSV...</source>
        <translation>CSV に書き出す...</translation>
    </message>
    <message>
        <source>Forget</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>History</source>
        <translation>履歴</translation>
    </message>
    <message>
        <source>When</source>
        <translation>日時</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Where it is now</source>
        <translation>現在の場所</translation>
    </message>
    <message>
        <source>Put back to</source>
        <translation>戻し先</translation>
    </message>
    <message>
        <source>Why not</source>
        <translation>戻せない理由</translation>
    </message>
    <message>
        <source>The run of %1 renamed some of the same folders after this one. Undo it first: runs are undone newest first.</source>
        <translation>%1 の実行がこの後に同じフォルダーの一部の名前を変更しています。先にそちらを元に戻してください: 実行は新しいものから元に戻します。</translation>
    </message>
    <message>
        <source>The folder has its old name already.</source>
        <translation>フォルダーはすでに元の名前です。</translation>
    </message>
    <message>
        <source>Undoing this run would put back %1 of %2 folders.</source>
        <translation>この実行を元に戻すと、%2 個中 %1 個のフォルダーが元に戻ります。</translation>
    </message>
    <message>
        <source>A newer run over the same folders must be undone first.</source>
        <translation>同じフォルダーに対する新しい実行を先に元に戻す必要があります。</translation>
    </message>
    <message>
        <source>The run&apos;s journal cannot be read: %1</source>
        <translation>実行の記録を読めません: %1</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV に書き出す</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV ファイル (*.csv)</translation>
    </message>
    <message>
        <source>The run could not be exported: %1</source>
        <translation>実行を書き出せませんでした: %1</translation>
    </message>
    <message>
        <source>Forget the run of %1? It can no longer be undone.</source>
        <translation>%1 の実行を履歴から削除しますか? 元に戻せなくなります。</translation>
    </message>
    <message>
        <source>Its folders keep the names it gave them.</source>
        <translation>フォルダーは変更後の名前のままです。</translation>
    </message>
    <message>
        <source>The run could not be forgotten: %1</source>
        <translation>実行を履歴から削除できませんでした: %1</translation>
    </message>
    <message>
        <source>Usage: trellisane-cli --operation TEXT [--x TEXT] [--y TEXT] [--find TEXT]
                      [--replace TEXT] [--subfolders]
                      [--apply [--journal FILE | --record] [--quiet] | --status | --check]
                      [--print0] FOLDER...
       trellisane-cli --undo FILE|RUN [--apply] [--trust-paths] [--print0]
       trellisane-cli --history
       trellisane-cli --export-csv FILE|RUN

Shows, for every FOLDER, the path it would get under one renaming operation, or renames
it with --apply. Each FOLDER is added as one batch, in the order given.

  --operation TEXT  the operation: a keyword or a full text from the list below
  --x TEXT          the text to add or to remove
  --y TEXT          the text before or after which x is added
  --find TEXT       the text to find (find and replace)
  --replace TEXT    the text to put in its place (find and replace)
  --subfolders      add every folder beneath each FOLDER as well, deepest first;
                    a folder whose name holds a character outside the single-byte
                    set (Latin-1), a &apos;?&apos; or a control character, or is 260 characters
                    or longer, is left out with everything beneath it, each named on
                    standard error on a line beginning &quot;skipped: &quot;
  --apply           rename the folders on disk, first row to last, then print the paths
                    where they are now
  --status          add a third field to every row: its status, as Start Renaming
                    would find it (the statuses are listed below)
  --check           print only the rows that would not be renamed, with their status
                    and the reason; exit 1 when there is any
  --journal FILE    with --apply, record the run in the new file FILE as it goes, so
                    that --undo can put every folder back, even after a crash
  --record          with --apply, keep the run in the history, beside the window&apos;s runs
                    ($XDG_STATE_HOME/trellisane/history), so that it can be undone
  --undo FILE|RUN   put back every folder the run recorded in FILE (or the run RUN of
                    the history) renamed, newest first (with --apply; without, only
                    show it: each folder&apos;s path now, a TAB and the path it would get
                    back); a run of the history is undone only after every newer run
                    over the same folders
  --history         list the runs of the history, newest first: id, start (UTC), state
                    (running, done, cut-short, partly-undone, undone), folders renamed,
                    where it was made, the operation and its answers, TAB-separated
  --export-csv FILE|RUN
                    write what the run did as CSV: time (UTC), old path, new path,
                    outcome
  --trust-paths     with --undo, also put back the folders known only by their path:
                    on a disk mounted again whose file system numbers its folders
                    anew at each mount (exFAT, FAT, sshfs, overlays)
  --print0          end every path with a NUL byte instead of a TAB or a newline
  --quiet           with --apply, show no progress counter on standard error (one
                    is shown only when it is a terminal); failures are still reported
  --help, -h        show this help and exit
  --version         show the version and exit
  --                end of options: every later argument is a FOLDER

An operation&apos;s answers must be given: --x to add or remove a text, --y and --x to add
before or after every y, --find and --replace to find and replace; a missing one is a
usage error. An answer given as &quot;&quot; is taken as a cancelled prompt: that operation then
changes no name. An answer the operation does not use is warned about and ignored.

Without --apply each row is printed as its current path, a TAB and its new path, one per
line. A new path is printed for every row the operation applies to, even when it equals
the current path; it is empty only when the operation made no change at all (an answer
given as &quot;&quot;).

Statuses (--status, --check):
  ok                the folder gets its new name
  unchanged         the new name is the folder&apos;s current name: nothing to do
  not-previewed     the row has no new path
  refused           the name or the place does not allow the rename (an empty name,
                    a separator, a name too long, a name the folder&apos;s file system
                    would refuse or change, no permission, a read-only file system,
                    or a folder the program never renames: the installed program&apos;s
                    own, /, a folder directly in /, the home folder, a mount point)
  taken             the new name is held by another entry in the parent folder
  claimed           an earlier row gives its folder this new name first
  missing           the current path no longer names a folder
  failed            the folder cannot be examined or renamed for another reason the
                    system gives (for example a folder of /proc, or one in an overlay&apos;s
                    lower layer), shown with --check
  may-fail          predicted ok, but its file system may refuse it (an overlay whose
                    layers cannot be seen); counted as ok by --check, reason shown

Every failure is reported as one line on standard error; a backslash or a control
character in it is shown escaped (\\, \n, \t, \x1b, ...).

Exit status: 0 success, 1 some folder could not be renamed (or put back), 2 usage error
(an existing --journal FILE, an --undo FILE that is no sound journal included).

Operations (keyword, then full text):
</source>
        <translation>使い方: trellisane-cli --operation テキスト [--x テキスト] [--y テキスト] [--find テキスト]
                      [--replace テキスト] [--subfolders]
                      [--apply [--journal ファイル | --record] [--quiet] | --status | --check]
                      [--print0] フォルダー...
       trellisane-cli --undo ファイル|実行 [--apply] [--trust-paths] [--print0]
       trellisane-cli --history
       trellisane-cli --export-csv ファイル|実行

各フォルダーが 1 つの名前変更操作でどのパスになるかを表示します。--apply を付けると実際に
名前を変更します。各フォルダーは指定した順に、1 つのまとまりとして追加されます。

  --operation テキスト  操作: 下の一覧にあるキーワードまたは全文
  --x テキスト          追加または削除するテキスト
  --y テキスト          その前または後に x を追加するテキスト
  --find テキスト       検索するテキスト (検索と置換)
  --replace テキスト    置き換えるテキスト (検索と置換)
  --subfolders          各フォルダーの下にあるすべてのフォルダーも、深いものから順に
                        追加します。名前にシングルバイト文字セット (Latin-1) 外の文字、
                        &apos;?&apos;、制御文字を含むか、260 文字以上の名前のフォルダーは、その下の
                        ものと一緒に除外され、標準エラー出力に &quot;skipped: &quot; で始まる行で
                        示されます
  --apply               ディスク上のフォルダーの名前を最初の行から順に変更し、
                        変更後のパスを出力します
  --status              各行に 3 つ目の欄として状態を加えます。「名前の変更を開始」が
                        判断する状態です (状態の一覧は下にあります)
  --check               名前を変更できない行だけを状態と理由付きで出力します。
                        該当する行があれば終了コード 1
  --journal ファイル    --apply と一緒に使い、実行を新しいファイルに逐次記録します。
                        クラッシュ後でも --undo ですべてのフォルダーを元に戻せます
  --record              --apply と一緒に使い、実行をウィンドウの実行と並べて履歴
                        ($XDG_STATE_HOME/trellisane/history) に残し、元に戻せるようにします
  --undo ファイル|実行  ファイルに記録された実行 (または履歴の実行) で名前を変更した
                        フォルダーを新しいものから元に戻します (--apply と一緒に使います。
                        付けない場合は表示だけ: 各フォルダーの現在のパス、TAB、元に戻した
                        後のパス)。履歴の実行は、同じフォルダーに対する新しい実行をすべて
                        元に戻した後でだけ元に戻します
  --history             履歴の実行を新しいものから一覧表示します: ID、開始時刻 (UTC)、
                        状態 (running、done、cut-short、partly-undone、undone)、名前を
                        変更したフォルダー数、実行元、操作と答え (TAB 区切り)
  --export-csv ファイル|実行
                        実行の内容を CSV で書き出します: 時刻 (UTC)、元のパス、新しい
                        パス、結果
  --trust-paths         --undo と一緒に使い、パスでしか識別できないフォルダーも元に
                        戻します: 再マウントのたびにフォルダーの番号を付け直す
                        ファイルシステム (exFAT、FAT、sshfs、オーバーレイ) の
                        ディスクを再マウントした場合
  --print0              各パスの終わりを TAB や改行ではなく NUL バイトにします
  --quiet               --apply と一緒に使い、標準エラー出力に進行状況を表示しません
                        (表示は端末のときだけです)。失敗は引き続き報告します
  --help, -h            このヘルプを表示して終了します
  --version             バージョンを表示して終了します
  --                    オプションの終わり: 以降の引数はすべてフォルダーです

操作に必要な答えは必ず指定します: テキストの追加・削除には --x、すべての y の前後への
追加には --y と --x、検索と置換には --find と --replace。足りない場合は使い方の誤りです。
&quot;&quot; で指定した答えは入力の取り消しとして扱い、その操作は名前を変更しません。操作で
使われない答えは警告して無視します。

--apply なしでは、各行を現在のパス、TAB、新しいパスの順に 1 行ずつ出力します。新しい
パスは操作が適用される行すべてに出力され、現在のパスと同じでも出力されます。空になるのは
操作がまったく何も変えなかったとき (&quot;&quot; で指定した答え) だけです。

状態 (--status、--check):
  ok                フォルダーは新しい名前になります
  unchanged         新しい名前は現在の名前と同じで、何もしません
  not-previewed     行に新しいパスがありません
  refused           名前または場所が名前の変更を許しません (空の名前、区切り文字、
                    長すぎる名前、フォルダーのファイルシステムが拒否または変更する名前、
                    権限なし、読み取り専用のファイルシステム、またはプログラムが決して
                    名前を変更しないフォルダー: インストールされたプログラム自身のもの、
                    /、/ の直下のフォルダー、ホームフォルダー、マウントポイント)
  taken             新しい名前は親フォルダー内の別の項目が使っています
  claimed           先の行が先に自分のフォルダーにこの新しい名前を付けます
  missing           現在のパスにもうフォルダーがありません
  failed            システムが示す別の理由でフォルダーを調べることも名前を変更する
                    こともできません (例: /proc のフォルダー、オーバーレイの下位
                    レイヤーのフォルダー)。--check で表示します
  may-fail          ok と予測されますが、ファイルシステムが拒否する可能性があります
                    (レイヤーが見えないオーバーレイ)。--check では ok として数え、
                    理由を表示します

失敗はすべて標準エラー出力に 1 行で報告します。その中のバックスラッシュや制御文字は
エスケープして表示します (\\, \n, \t, \x1b, ...)。

終了コード: 0 成功、1 名前を変更できない (または元に戻せない) フォルダーがあった、
2 使い方の誤り (既にある --journal のファイル、正しいジャーナルではない --undo の
ファイルを含む)。

操作 (キーワード、全文):
</translation>
    </message>
    <message>
        <source>--history and --export-csv take no other option and no FOLDER</source>
        <translation>--history と --export-csv には他のオプションもフォルダーも指定できません</translation>
    </message>
    <message>
        <source>--record needs --apply, and no --journal</source>
        <translation>--record には --apply が必要で、--journal とは一緒に使えません</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>実行中</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>Cut short</source>
        <translation>中断</translation>
    </message>
    <message>
        <source>Partly undone</source>
        <translation>一部元に戻した</translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>元に戻した</translation>
    </message>
    <message>
        <source>The run, or an undo of it, is still going.</source>
        <translation>実行またはその取り消しがまだ進行中です。</translation>
    </message>
    <message>
        <source>The folder is at neither its old nor its new path: moved, deleted or replaced since the run.</source>
        <translation>フォルダーは元のパスにも新しいパスにもありません: 実行後に移動、削除または置き換えられました。</translation>
    </message>
    <message>
        <source>The disk that holds it (%1) is not mounted now.</source>
        <translation>フォルダーのあるディスク (%1) は現在マウントされていません。</translation>
    </message>
    <message>
        <source>Something else has the folder&apos;s old name now.</source>
        <translation>元の名前は現在ほかのものが使っています。</translation>
    </message>
    <message>
        <source>The folder cannot be renamed back: %1.</source>
        <translation>フォルダーの名前を元に戻せません: %1。</translation>
    </message>
    <message>
        <source>The disk was mounted again and numbers its folders anew at each mount, so only the path says this is the folder the run renamed.</source>
        <translation>ディスクが再マウントされ、マウントのたびにフォルダーの番号を付け直すため、実行で名前を変更したフォルダーであることはパスでしか分かりません。</translation>
    </message>
    <message>
        <source>The run is no longer in the history.</source>
        <translation>この実行はもう履歴にありません。</translation>
    </message>
    <message>
        <source>A newer run renamed some of the same folders: undo that one first.</source>
        <translation>新しい実行が同じフォルダーの一部の名前を変更しています: 先にそちらを元に戻してください。</translation>
    </message>
    <message>
        <source>The run renamed no folder: there is nothing to put back.</source>
        <translation>この実行はフォルダーの名前を変更していません: 元に戻すものはありません。</translation>
    </message>
    <message>
        <source>1 folder was put back where it was before the run.</source>
        <translation>1 個のフォルダーを実行前の場所に戻しました。</translation>
    </message>
    <message>
        <source>%1 folders were put back where they were before the run.</source>
        <translation>%1 個のフォルダーを実行前の場所に戻しました。</translation>
    </message>
    <message>
        <source>The undo was cancelled: the rest keep their new names, and Undo Last Renaming puts them back later.</source>
        <translation>元に戻す処理は取り消されました: 残りは新しい名前のままです。「最後の名前の変更を元に戻す」で後から戻せます。</translation>
    </message>
    <message>
        <source>History...</source>
        <translation>履歴...</translation>
    </message>
    <message>
        <source>Putting folders back...</source>
        <translation>フォルダーを元に戻しています...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Putting back folder %1 of %2</source>
        <translation>フォルダーを元に戻しています (%1 / %2)</translation>
    </message>
    <message>
        <source>This run cannot be kept in the history (%1: %2), so it could not be undone after the program ends. Rename the folders all the same?</source>
        <translation>この実行は履歴に残せないため (%1: %2)、プログラムの終了後に元に戻せません。それでもフォルダーの名前を変更しますか?</translation>
    </message>
    <message>
        <source>The run&apos;s journal could not be written (%1); the folders after that point were not renamed.</source>
        <translation>実行の記録を書き込めませんでした (%1)。それ以降のフォルダーの名前は変更していません。</translation>
    </message>
    <message>
        <source>%1, and up to %2 more</source>
        <translation>%1 (さらに最大 %2)</translation>
    </message>
    <message>
        <source>The run of %1 was cut short before its end (the program was ended or the computer stopped), with %2 folders renamed. Undo it now, putting those folders back?</source>
        <translation>%1 の実行は途中で中断されました (プログラムが終了したか、コンピューターが停止しました)。名前を変更したフォルダーは %2 個です。今すぐ元に戻しますか?</translation>
    </message>
</context>
</TS>
