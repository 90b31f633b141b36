<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>tarvel</name>
    <message>
        <source>%1; default %2.</source>
        <translation>%1。既定値は %2。</translation>
    </message>
    <message>
        <source>Shows this help.</source>
        <translation>このヘルプを表示します。</translation>
    </message>
    <message>
        <source>Shows the program&apos;s version.</source>
        <translation>プログラムのバージョンを表示します。</translation>
    </message>
    <message>
        <source>Runs as if started in DIR.</source>
        <translation>DIR で起動したものとして動作します。</translation>
    </message>
    <message>
        <source>Which races are ready: status 8 only, or 8 and later.</source>
        <translation>印刷するレースの条件: 状態 8 のみ（同時）、または 8 以降（随時）。</translation>
    </message>
    <message>
        <source>Only this distance.</source>
        <translation>この距離のみ。</translation>
    </message>
    <message>
        <source>Only this stroke.</source>
        <translation>この種目のみ。</translation>
    </message>
    <message>
        <source>Only this round.</source>
        <translation>この予決のみ。</translation>
    </message>
    <message>
        <source>Only this sex.</source>
        <translation>この性別のみ。</translation>
    </message>
    <message>
        <source>Only registration numbers beginning with TEXT (旧番号).</source>
        <translation>登録番号が TEXT で始まるもののみ（旧番号）。</translation>
    </message>
    <message>
        <source>Highest rank printed in individual events, a whole number (default: the layout file&apos;s).</source>
        <translation>個人種目で印刷する最下位の順位。0 以上の整数（既定値: レイアウトファイルの値）。</translation>
    </message>
    <message>
        <source>Highest rank printed in relays, a whole number (default: the layout file&apos;s).</source>
        <translation>リレー種目で印刷する最下位の順位。0 以上の整数（既定値: レイアウトファイルの値）。</translation>
    </message>
    <message>
        <source>Composes and logs; prints nothing, marks nothing.</source>
        <translation>賞状を作成して記録するだけで、印刷も印刷済みの記録もしません。</translation>
    </message>
    <message>
        <source>Each print document as a PDF file in DIR instead of the default printer.</source>
        <translation>既定のプリンタの代わりに、印刷文書を 1 つずつ PDF ファイルとして DIR に書き出します。</translation>
    </message>
    <message>
        <source>One JSON line per certificate accepted, in print order.</source>
        <translation>印刷した賞状 1 枚ごとに JSON を 1 行、印刷順に書き出します。</translation>
    </message>
    <message>
        <source>unexpected argument: %1</source>
        <translation>不要な引数があります: %1</translation>
    </message>
    <message>
        <source>--%1: &quot;%2&quot; is not one of %3</source>
        <translation>--%1: 「%2」は %3 のどれでもありません</translation>
    </message>
    <message>
        <source>--%1: &quot;%2&quot; is not a whole number of 0 or more</source>
        <translation>--%1: 「%2」は 0 以上の整数ではありません</translation>
    </message>
    <message>
        <source>--%1 needs a path</source>
        <translation>--%1 にはパスが必要です</translation>
    </message>
    <message>
        <source>jobs sent to the printer %1</source>
        <translation>プリンタ %1 に送信しました</translation>
    </message>
    <message>
        <source>%1 PDF file(s) in %2</source>
        <translation>PDF ファイル %1 個を %2 に書き出しました</translation>
    </message>
    <message>
        <source>the layout file %1 could not be read whole (%2); the defaults were written from field %3 on</source>
        <translation>レイアウトファイル %1 を最後まで読めませんでした（%2）。項目 %3 以降は既定値を書き込みました</translation>
    </message>
    <message>
        <source>changing to the folder to run in: %1: no such folder</source>
        <translation>作業フォルダへの移動: %1: フォルダがありません</translation>
    </message>
    <message>
        <source>%1 (working folder %2)</source>
        <translation>%1（作業フォルダ %2）</translation>
    </message>
    <message>
        <source>opening the log: %1: %2</source>
        <translation>ログを開く: %1: %2</translation>
    </message>
    <message>
        <source>the run stopped there:</source>
        <translation>印刷はここで止まりました:</translation>
    </message>
    <message>
        <source>writing the log: %1: %2</source>
        <translation>ログの書き込み: %1: %2</translation>
    </message>
    <message>
        <source>reading the layout file</source>
        <translation>レイアウトファイルの読み込み</translation>
    </message>
    <message>
        <source>writing the layout file</source>
        <translation>レイアウトファイルの書き込み</translation>
    </message>
    <message>
        <source>the file ends before field %1 of %2</source>
        <translation>全 %2 項目のうち項目 %1 の前でファイルが終わっています</translation>
    </message>
    <message>
        <source>field %1 holds &quot;%2&quot; where a switch (0, 1 or 2) belongs</source>
        <translation>項目 %1 はスイッチ（0、1、2）のはずですが「%2」です</translation>
    </message>
    <message>
        <source>reading the location file</source>
        <translation>所在ファイルの読み込み</translation>
    </message>
    <message>
        <source>file not found</source>
        <translation>ファイルがありません</translation>
    </message>
    <message>
        <source>input past end of file</source>
        <translation>ファイルの終わりを越えて読もうとしました</translation>
    </message>
    <message>
        <source>the data folder %1 (named in %2) does not exist</source>
        <translation>データフォルダ %1（%2 で指定）がありません</translation>
    </message>
    <message>
        <source>; it is a Windows path, and this machine has no Wine drive link %1 (WINEPREFIX selects the Wine drive links)</source>
        <translation>。これは Windows のパスですが、このコンピュータには Wine のドライブリンク %1 がありません（Wine のドライブリンクは WINEPREFIX で選びます）</translation>
    </message>
    <message>
        <source>opening the meet</source>
        <translation>大会データを開く</translation>
    </message>
    <message>
        <source>reading swimmer entry %1</source>
        <translation>選手エントリー %1 の読み込み</translation>
    </message>
    <message>
        <source>file not found (its place is named in %1)</source>
        <translation>ファイルがありません（場所は %1 で指定）</translation>
    </message>
    <message>
        <source>opening</source>
        <translation>ファイルを開く</translation>
    </message>
    <message>
        <source>marking a race as printed</source>
        <translation>レースを印刷済みにする</translation>
    </message>
    <message>
        <source>race number %1 is outside 1 to %2</source>
        <translation>レース番号 %1 は 1～%2 の範囲外です</translation>
    </message>
    <message>
        <source>reading the meet header</source>
        <translation>大会基準の読み込み</translation>
    </message>
    <message>
        <source>the file ends before item %1 of %2</source>
        <translation>全 %2 項目のうち項目 %1 の前でファイルが終わっています</translation>
    </message>
    <message>
        <source>reading a race</source>
        <translation>レースの読み込み</translation>
    </message>
    <message>
        <source>reading race %1</source>
        <translation>レース %1 の読み込み</translation>
    </message>
    <message>
        <source>converting a number</source>
        <translation>数値の変換</translation>
    </message>
    <message>
        <source>%1 does not fit %2 bits</source>
        <translation>%1 は %2 ビットに収まりません</translation>
    </message>
    <message>
        <source>sending the certificates to the printer</source>
        <translation>プリンタへの賞状の送信</translation>
    </message>
    <message>
        <source>printing the certificates</source>
        <translation>賞状の印刷</translation>
    </message>
    <message>
        <source>the document could not be started</source>
        <translation>文書を開始できませんでした</translation>
    </message>
    <message>
        <source>a new page could not be started</source>
        <translation>新しいページを開始できませんでした</translation>
    </message>
    <message>
        <source>the document could not be completed</source>
        <translation>文書を完成できませんでした</translation>
    </message>
    <message>
        <source>writing a certificate PDF</source>
        <translation>賞状 PDF の書き込み</translation>
    </message>
    <message>
        <source>invalid record length %1</source>
        <translation>レコード長 %1 は使えません</translation>
    </message>
    <message>
        <source>no such record</source>
        <translation>そのレコードはありません</translation>
    </message>
    <message>
        <source>%1 bytes given, the record length is %2</source>
        <translation>%1 バイトが渡されましたが、レコード長は %2 です</translation>
    </message>
    <message>
        <source>writing %1 bytes at byte %2</source>
        <translation>%2 バイト目からの %1 バイトの書き込み</translation>
    </message>
    <message>
        <source>invalid offset</source>
        <translation>位置が正しくありません</translation>
    </message>
    <message>
        <source>finding the size of</source>
        <translation>サイズの確認</translation>
    </message>
    <message>
        <source>reading the relay team of lane %1</source>
        <translation>%1 レーンのリレーチームの読み込み</translation>
    </message>
    <message>
        <source>the race&apos;s relay index %1 names no record</source>
        <translation>レースのリレー番号 %1 に当たるレコードがありません</translation>
    </message>
    <message>
        <source>the rank limit for individual events &quot;%1&quot; is not a number</source>
        <translation>打出順位（個人）「%1」が数字ではありません</translation>
    </message>
    <message>
        <source>the rank limit for relays &quot;%1&quot; is not a number</source>
        <translation>打出順位（リレー）「%1」が数字ではありません</translation>
    </message>
    <message>
        <source>starting a print run</source>
        <translation>印刷の開始</translation>
    </message>
    <message>
        <source>  ... and %1 more</source>
        <translation>  ほか %1 件</translation>
    </message>
    <message>
        <source>No race was ready for certificates.</source>
        <translation>印刷できるレースはありませんでした。</translation>
    </message>
    <message>
        <source>%1 race(s) ready: %2 event(s) previewed, %3 certificate(s); nothing printed, nothing marked.</source>
        <translation>対象レース %1: %2 種目をプレビュー、賞状 %3 枚。印刷も印刷済みの記録もしていません。</translation>
    </message>
    <message>
        <source>%1 race(s) ready: %2 event(s) printed, %3 certificate(s) on %4 page(s); %5 race(s) marked as printed.</source>
        <translation>対象レース %1: %2 種目を印刷、賞状 %3 枚（%4 ページ）。%5 レースを印刷済みにしました。</translation>
    </message>
    <message>
        <source>Stopped on request before race %1: the races from there on were not looked at.</source>
        <translation>レース %1 の前で中止しました。そこから先のレースは処理していません。</translation>
    </message>
    <message>
        <source>Left unprinted, their races not marked:</source>
        <translation>印刷できなかった種目（印刷済みにしていません）:</translation>
    </message>
    <message>
        <source>Left out by the distance, stroke, round or sex chosen:</source>
        <translation>距離・種目・予決・性別の条件で除いた種目:</translation>
    </message>
    <message>
        <source>Finishers but no certificate within the rank limits or number prefix:</source>
        <translation>完泳者はいるが、打出順位・旧番号の条件に当たる賞状のない種目:</translation>
    </message>
    <message>
        <source>another print run</source>
        <translation>別の印刷</translation>
    </message>
    <message>
        <source>%1 (process %2 on %3)</source>
        <translation>%1（%3 のプロセス %2）</translation>
    </message>
    <message>
        <source>%1 since %2</source>
        <translation>%1、%2 から</translation>
    </message>
    <message>
        <source>the meet is being printed by %1</source>
        <translation>この大会は %1 が印刷中です</translation>
    </message>
    <message>
        <source>%1 failed.</source>
        <translation>%1に失敗しました。</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>ファイル: %1</translation>
    </message>
    <message>
        <source>Printer: %1</source>
        <translation>プリンター: %1</translation>
    </message>
    <message>
        <source>Reason: %1</source>
        <translation>理由: %1</translation>
    </message>
    <message>
        <source>The layout file could not be read whole: %1.

File: %2

The fields before field %3 were loaded; from field %3 on, the defaults were put in and written to the file. Check the layout before printing.</source>
        <translation>レイアウトファイルを最後まで読めませんでした: %1。

ファイル: %2

項目 %3 より前は読み込みました。項目 %3 以降は既定値を入れて、ファイルに書き込みました。印刷の前にレイアウトを確かめてください。</translation>
    </message>
    <message>
        <source>race %1 of %2</source>
        <translation>レース %1 / %2</translation>
    </message>
    <message>
        <source>%1 certificate(s)</source>
        <translation>賞状 %1 枚</translation>
    </message>
    <message>
        <source>try tarvel-batch --help</source>
        <translation>使い方は tarvel-batch --help で表示します</translation>
    </message>
    <message>
        <source>The certificate printer&apos;s window, on the meet whose location file is ..\ctl\dr_kyo.ctl from the working folder; when it is not there, the window lets you choose the meet.</source>
        <translation>賞状印刷のウィンドウです。作業フォルダから見た ..\ctl\dr_kyo.ctl を所在ファイルとする大会を開きます。見つからないときは、大会を選べます。</translation>
    </message>
    <message>
        <source>Starts as if started in DIR.</source>
        <translation>DIR で起動したものとして開始します。</translation>
    </message>
    <message>
        <source>tarvel: no such folder: %1
</source>
        <translation>tarvel: フォルダがありません: %1
</translation>
    </message>
    <message>
        <source>Lists the certificate ledger, one line per certificate, newest first; prints nothing.</source>
        <translation>印刷履歴を、賞状 1 枚につき 1 行、新しい順に表示します。印刷はしません。</translation>
    </message>
    <message>
        <source>With --history: writes the ledger to FILE as CSV (UTF-8 with a byte-order mark) instead.</source>
        <translation>--history と一緒に: 印刷履歴を CSV（BOM 付き UTF-8）として FILE に書き出します。</translation>
    </message>
    <message>
        <source>Prints again, from the ledger, the certificates printed for RACE (the event&apos;s last heat), or one lane of the heat RACE, or one leg of a relay lane (lanes and legs from 1), as one document; Race.dat is not touched.</source>
        <translation>印刷履歴から、RACE（種目の最終組のレース）の賞状、または組 RACE の 1 レーン分、またはリレーの 1 泳者分（レーンと泳者は 1 から数えます）を、1 つの文書として印刷し直します。Race.dat は変えません。</translation>
    </message>
    <message>
        <source>--history and --reprint cannot be given together</source>
        <translation>--history と --reprint は同時に指定できません</translation>
    </message>
    <message>
        <source>--csv goes with --history</source>
        <translation>--csv は --history と一緒に指定します</translation>
    </message>
    <message>
        <source>--reprint: &quot;%1&quot; is not RACE, RACE:LANE or RACE:LANE:LEG (race 1 to 1024, lane 1 to 12, leg 1 to 4)</source>
        <translation>--reprint: 「%1」は RACE、RACE:LANE、RACE:LANE:LEG のどれでもありません（レース 1～1024、レーン 1～12、泳者 1～4）</translation>
    </message>
    <message>
        <source>no certificate has been recorded for this meet yet (there is no %1)</source>
        <translation>この大会の印刷履歴はまだありません（%1 がありません）</translation>
    </message>
    <message>
        <source>writing the CSV file: %1: %2</source>
        <translation>CSV ファイルの書き込み: %1: %2</translation>
    </message>
    <message>
        <source>%1 certificate(s) written to %2</source>
        <translation>賞状 %1 枚分を %2 に書き出しました</translation>
    </message>
    <message>
        <source>the ledger holds no certificate printed for %1</source>
        <translation>印刷履歴に %1 の賞状はありません</translation>
    </message>
    <message>
        <source>race %1, lane %2, leg %3</source>
        <translation>レース %1、%2 レーン、第 %3 泳者</translation>
    </message>
    <message>
        <source>race %1, lane %2</source>
        <translation>レース %1、%2 レーン</translation>
    </message>
    <message>
        <source>race %1</source>
        <translation>レース %1</translation>
    </message>
    <message>
        <source>%1 certificate(s) printed again: %2</source>
        <translation>賞状 %1 枚を印刷し直しました: %2</translation>
    </message>
    <message>
        <source>warning: the reprint could not be recorded in the certificate ledger: %1</source>
        <translation>注意: 再印刷を印刷履歴に記録できませんでした: %1</translation>
    </message>
    <message>
        <source>Calibration page</source>
        <translation>位置合わせページ</translation>
    </message>
    <message>
        <source>Calibration page for %1; offset in force: X %2, Y %3 twips.</source>
        <translation>%1 の位置合わせページ。いまの補正: X %2、Y %3 twips。</translation>
    </message>
    <message>
        <source>Each cross lies where a layout item at the X and Y beside it begins.</source>
        <translation>各十字は、横に書いた X・Y に置いた項目の始まる位置にあります。</translation>
    </message>
    <message>
        <source>Lay this page on the same page printed by the printer the layout was made with</source>
        <translation>このページを、レイアウトを作ったプリンタで印刷した同じページに重ね、</translation>
    </message>
    <message>
        <source>and measure how far each cross must move (1 mm = 56.7 twips, right and down</source>
        <translation>各十字をどれだけ動かせばよいか測ってください（1 mm = 56.7 twips、右と下が</translation>
    </message>
    <message>
        <source>positive). Add that to the offset in force and type the sum in the designer.</source>
        <translation>正）。それをいまの補正に足して、レイアウト画面に入力してください。</translation>
    </message>
    <message>
        <source>saving the layout&apos;s widths and backdrop</source>
        <translation>レイアウトの最大幅と背景の保存</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <translation>ファイルに書き込めませんでした</translation>
    </message>
    <message>
        <source>pending</source>
        <translation>待機中</translation>
    </message>
    <message>
        <source>held</source>
        <translation>保留</translation>
    </message>
    <message>
        <source>printing</source>
        <translation>印刷</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>canceled</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>aborted</source>
        <translation>中断</translation>
    </message>
    <message>
        <source>completed</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>written</source>
        <translation>書き出し済み</translation>
    </message>
    <message>
        <source>Printed at</source>
        <translation>印刷日時</translation>
    </message>
    <message>
        <source>Race</source>
        <translation>レース</translation>
    </message>
    <message>
        <source>Heat</source>
        <translation>組</translation>
    </message>
    <message>
        <source>Lane</source>
        <translation>レーン</translation>
    </message>
    <message>
        <source>Leg</source>
        <translation>泳者</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>種目</translation>
    </message>
    <message>
        <source>Rank</source>
        <translation>順位</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Affiliation</source>
        <translation>所属</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>記録</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>文書</translation>
    </message>
    <message>
        <source>Destination</source>
        <translation>出力先</translation>
    </message>
    <message>
        <source>Job</source>
        <translation>ジョブ</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Certificate</source>
        <translation>賞状</translation>
    </message>
    <message>
        <source>Reprint of</source>
        <translation>再印刷元</translation>
    </message>
    <message>
        <source>opening the certificate ledger</source>
        <translation>印刷履歴を開く</translation>
    </message>
    <message>
        <source>it was made by a newer Tarvel (version %1 of the ledger)</source>
        <translation>新しい Tarvel で作られています（印刷履歴の版 %1）</translation>
    </message>
    <message>
        <source>Reprint %1</source>
        <translation>再印刷 %1</translation>
    </message>
    <message>
        <source>using the certificate ledger</source>
        <translation>印刷履歴の利用</translation>
    </message>
    <message>
        <source>keeping the printer&apos;s calibration</source>
        <translation>プリンタの位置補正の保存</translation>
    </message>
    <message>
        <source>the settings could not be written</source>
        <translation>設定を書き込めませんでした</translation>
    </message>
    <message>
        <source>showing the blank certificate</source>
        <translation>賞状用紙の表示</translation>
    </message>
    <message>
        <source>no temporary folder for the rendered page</source>
        <translation>描画したページ用の一時フォルダがありません</translation>
    </message>
    <message>
        <source>pdftoppm (poppler-utils) could not be started</source>
        <translation>pdftoppm（poppler-utils）を起動できませんでした</translation>
    </message>
    <message>
        <source>pdftoppm wrote no page</source>
        <translation>pdftoppm がページを書き出しませんでした</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>ファイルがありません</translation>
    </message>
    <message>
        <source>Race %1, lane %2, leg %3</source>
        <translation>レース %1、%2 レーン、第 %3 泳者</translation>
    </message>
    <message>
        <source>Race %1, lane %2</source>
        <translation>レース %1、%2 レーン</translation>
    </message>
    <message>
        <source>%1, %2: no installed face can draw it</source>
        <translation>%1、%2: この文字を描けるフォントがありません</translation>
    </message>
    <message>
        <source>Keeps watching Race.dat and prints each event as soon as its last heat is ready, until SIGINT or SIGTERM; then ends after the event in hand. Each run&apos;s account goes to stderr with the time; --log grows across runs.</source>
        <translation>Race.dat を見張り続け、種目の最終組がそろいしだいその種目を印刷する。SIGINT か SIGTERM を受けるまで続け、受けたら印刷中の種目を終えてから終わる。各回の報告は時刻つきで標準エラーに出し、--log は回をまたいで追記する。</translation>
    </message>
    <message>
        <source>With --watch: reads Race.dat every MS milliseconds besides the change notifications (default 500).</source>
        <translation>--watch のとき: 変更の通知とは別に MS ミリ秒ごとに Race.dat を読む（既定 500）。</translation>
    </message>
    <message>
        <source>--watch cannot be given with --history or --reprint</source>
        <translation>--watch は --history や --reprint と一緒には指定できません</translation>
    </message>
    <message>
        <source>--watch prints only under 同時: under 随時 it would print every finished race again and again</source>
        <translation>--watch は 同時 でのみ印刷します。随時 では終わったレースを何度でも印刷してしまいます</translation>
    </message>
    <message>
        <source>--interval goes with --watch</source>
        <translation>--interval は --watch と一緒に指定します</translation>
    </message>
    <message>
        <source>--interval: &quot;%1&quot; is not a whole number of milliseconds from %2 to 9999999</source>
        <translation>--interval: 「%1」は %2 から 9999999 までのミリ秒の整数ではありません</translation>
    </message>
    <message>
        <source>waiting for the data folder (unreachable for more than 10 seconds): %1</source>
        <translation>データフォルダを待っています（10 秒以上届きません）: %1</translation>
    </message>
    <message>
        <source>the data folder is reachable again; watching goes on</source>
        <translation>データフォルダに再び届くようになりました。監視を続けます</translation>
    </message>
    <message>
        <source>watching %1 (every %2 ms); stop with Ctrl+C</source>
        <translation>%1 を監視しています（%2 ミリ秒ごと）。Ctrl+C で終了します</translation>
    </message>
    <message>
        <source>watching ended</source>
        <translation>監視を終了しました</translation>
    </message>
    <message>
        <source>the printer is in use (%1); try again once that is done</source>
        <translation>プリンタは使用中です（%1）。終わってからもう一度行ってください</translation>
    </message>
    <message>
        <source>X %1  Y %2</source>
        <translation>X %1  Y %2</translation>
    </message>
    <message>
        <source>(%1 mm, %2 mm)</source>
        <translation>（%1 mm、%2 mm）</translation>
    </message>
    <message>
        <source>it is a folder, not an image or PDF file</source>
        <translation>画像や PDF のファイルではなくフォルダです</translation>
    </message>
    <message>
        <source>it is not a regular file (a pipe or a device); only image and PDF files are read</source>
        <translation>通常のファイルではありません（パイプまたはデバイス）。読み込むのは画像と PDF のファイルだけです</translation>
    </message>
    <message>
        <source>the file is larger than %1 MB, the most a blank certificate may be</source>
        <translation>ファイルが賞状用紙の上限 %1 MB より大きいです</translation>
    </message>
    <message>
        <source>the image is %1 x %2 pixels, more than the %3 pixels read at most</source>
        <translation>画像が %1 × %2 ピクセルあり、読み込める上限の %3 ピクセルを超えています</translation>
    </message>
    <message>
        <source>no longer wanted</source>
        <translation>不要になりました</translation>
    </message>
    <message>
        <source>pdftoppm did not render the page within %1 seconds</source>
        <translation>pdftoppm が %1 秒以内にページを描けませんでした</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>メモリが足りません</translation>
    </message>
    <message>
        <source>The layout was changed and the change is not saved yet. Save it before the window closes?</source>
        <translation>レイアウトが変更され、まだ保存されていません。ウィンドウを閉じる前に保存しますか？</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Don&apos;t save</source>
        <translation>保存しない</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>printing the test page</source>
        <translation>テスト印刷</translation>
    </message>
    <message>
        <source>printing the calibration page</source>
        <translation>位置補正ページの印刷</translation>
    </message>
    <message>
        <source>printing certificates again</source>
        <translation>再印刷</translation>
    </message>
    <message>
        <source>taking the printer&apos;s calibration</source>
        <translation>プリンタの位置補正の反映</translation>
    </message>
    <message>
        <source>printing automatically</source>
        <translation>自動印刷</translation>
    </message>
    <message>
        <source>Test page</source>
        <translation>テスト印刷</translation>
    </message>
    <message>
        <source>The run stopped there. Until then:</source>
        <translation>印刷はここで止まりました。それまでの結果:</translation>
    </message>
    <message>
        <source>There is no printer: the certificates were written as PDF files to %1</source>
        <translation>プリンタがないため、賞状を PDF ファイルにしました。保存先: %1</translation>
    </message>
    <message>
        <source>There is no printer: the test page was written as a PDF file.

%1</source>
        <translation>プリンタがないため、テストページを PDF ファイルにしました。

%1</translation>
    </message>
    <message>
        <source>%1 page(s) printed again: %2</source>
        <translation>%1 ページを再印刷しました: %2</translation>
    </message>
    <message>
        <source>checking that races can be marked as printed</source>
        <translation>レースを印刷済みにできるかの確認</translation>
    </message>
    <message>
        <source>it is a symbolic link; the lock file must be a plain file</source>
        <translation>シンボリックリンクです。ロックファイルは通常のファイルでなければなりません</translation>
    </message>
    <message>
        <source>it is not a plain file</source>
        <translation>通常のファイルではありません</translation>
    </message>
    <message>
        <source>it is a symbolic link; files are never written through a link here</source>
        <translation>シンボリックリンクです。ここではリンク越しにファイルを書き込みません</translation>
    </message>
    <message>
        <source>its heat fields say heat %1 of %2, which no event of races 1 to %3 can have</source>
        <translation>組の欄が %2 組中 %1 組となっており、レース 1〜%3 のどの種目にもありえません</translation>
    </message>
    <message>
        <source>its heat fields make race %1 its event&apos;s last heat, but race %1 says heat %2 of %3</source>
        <translation>組の欄ではレース %1 が種目の最終組ですが、レース %1 は %3 組中 %2 組となっています</translation>
    </message>
    <message>
        <source>Delivered but not marked as printed (Race.dat could not be written); mark these races before printing them again:</source>
        <translation>出力済みですが印刷済みにできなかった種目 (Race.dat に書き込めません)。再度印刷する前にこれらのレースを印刷済みにしてください:</translation>
    </message>
    <message>
        <source>  %1: race(s) %2</source>
        <translation>  %1: レース %2</translation>
    </message>
    <message>
        <source>print job %1 (%2) on %3 was %4: its certificates did not come out; print them again from the history</source>
        <translation>印刷ジョブ %1（%2、%3）は「%4」になりました: 賞状は出ていません。印刷履歴から再印刷してください</translation>
    </message>
    <message>
        <source>warning: the certificate ledger could not be written; the certificates are kept and written once it can be: %1</source>
        <translation>注意: 印刷履歴に書き込めません。賞状の記録は保持し、書き込めるようになりしだい書き込みます: %1</translation>
    </message>
    <message>
        <source>the certificate ledger is written again; nothing was lost</source>
        <translation>印刷履歴に再び書き込めました。記録は失われていません</translation>
    </message>
    <message>
        <source>warning: the certificate ledger could not be written, the printing went on without it; %1 document(s) are missing from it: %2</source>
        <translation>注意: 印刷履歴に書き込めませんでした。印刷は続けましたが、%1 件の文書が履歴にありません: %2</translation>
    </message>
    <message>
        <source>Superseded</source>
        <translation>差し替え</translation>
    </message>
    <message>
        <source>Requested by</source>
        <translation>依頼者</translation>
    </message>
    <message>
        <source>superseded by a later print</source>
        <translation>後の印刷で差し替え済み</translation>
    </message>
    <message>
        <source>it is a symbolic link, which Tarvel does not follow in the data folder; remove it</source>
        <translation>シンボリックリンクです。データフォルダーではリンクをたどりません。削除してください</translation>
    </message>
    <message>
        <source>this machine has no print system: the certificates become PDF files in %1</source>
        <translation>このコンピューターには印刷システムがありません。賞状は %1 に PDF ファイルとして書き出します</translation>
    </message>
    <message>
        <source>no reason given</source>
        <translation>理由は示されていません</translation>
    </message>
    <message>
        <source>warning: the printer&apos;s state could not be asked: %1</source>
        <translation>警告: プリンタの状態を問い合わせられませんでした: %1</translation>
    </message>
    <message>
        <source>the print scheduler is not running (its socket is not there)</source>
        <translation>印刷スケジューラが動いていません（ソケットがありません）</translation>
    </message>
    <message>
        <source>the print scheduler does not accept connections</source>
        <translation>印刷スケジューラが接続を受け付けません</translation>
    </message>
    <message>
        <source>stopped while waiting for the print scheduler %1</source>
        <translation>印刷スケジューラ %1 の応答を待つ間に中止しました</translation>
    </message>
    <message>
        <source>the print scheduler %1 did not answer within %2 seconds</source>
        <translation>印刷スケジューラ %1 が %2 秒以内に応答しませんでした</translation>
    </message>
    <message>
        <source>the print scheduler gave no reason</source>
        <translation>印刷スケジューラは理由を示しませんでした</translation>
    </message>
    <message>
        <source>the print scheduler %1 broke off the connection</source>
        <translation>印刷スケジューラ %1 が接続を切りました</translation>
    </message>
    <message>
        <source>the print scheduler %1 went away and no longer answers</source>
        <translation>印刷スケジューラ %1 が途中で停止し、応答しなくなりました</translation>
    </message>
    <message>
        <source>connecting to the print scheduler</source>
        <translation>印刷スケジューラへの接続</translation>
    </message>
    <message>
        <source>looking up the default printer</source>
        <translation>既定のプリンタの確認</translation>
    </message>
    <message>
        <source>the default printer (set by %1) does not exist at the print scheduler %2</source>
        <translation>既定のプリンタ（%1 で指定）は印刷スケジューラ %2 にありません</translation>
    </message>
    <message>
        <source>the print scheduler has no default printer</source>
        <translation>印刷スケジューラに既定のプリンタがありません</translation>
    </message>
    <message>
        <source>the print scheduler %1 does not know this printer</source>
        <translation>印刷スケジューラ %1 はこのプリンタを知りません</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>メモリーが足りません</translation>
    </message>
    <message>
        <source>the print scheduler gave the job no number</source>
        <translation>印刷スケジューラがジョブに番号を付けませんでした</translation>
    </message>
    <message>
        <source>asking the printer&apos;s state</source>
        <translation>プリンタの状態の問い合わせ</translation>
    </message>
    <message>
        <source>out of paper</source>
        <translation>用紙切れ</translation>
    </message>
    <message>
        <source>paper jam</source>
        <translation>紙詰まり</translation>
    </message>
    <message>
        <source>paper needed</source>
        <translation>用紙が必要</translation>
    </message>
    <message>
        <source>a cover is open</source>
        <translation>カバーが開いています</translation>
    </message>
    <message>
        <source>out of toner or ink</source>
        <translation>トナーまたはインク切れ</translation>
    </message>
    <message>
        <source>toner or ink low</source>
        <translation>トナーまたはインク残りわずか</translation>
    </message>
    <message>
        <source>offline</source>
        <translation>オフライン</translation>
    </message>
    <message>
        <source>paused</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <source>shut down</source>
        <translation>電源オフ</translation>
    </message>
    <message>
        <source>output tray full</source>
        <translation>排紙トレイが満杯</translation>
    </message>
    <message>
        <source>PDF: %1</source>
        <translation>PDF: %1</translation>
    </message>
    <message>
        <source>printer: %1</source>
        <translation>プリンター: %1</translation>
    </message>
    <message>
        <source>the default printer</source>
        <translation>既定のプリンタ</translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>警告: %1</translation>
    </message>
    <message>
        <source>the printer %1 is stopped (%2); %3 job(s) wait on it</source>
        <translation>プリンタ %1 は停止しています（%2）。%3 件のジョブが待っています</translation>
    </message>
    <message>
        <source>the printer %1 needs attention (%2); %3 job(s) wait on it</source>
        <translation>プリンタ %1 に対処が必要です（%2）。%3 件のジョブが待っています</translation>
    </message>
    <message>
        <source>past the end of the file (%1 bytes)</source>
        <translation>ファイルの終わり（%1 バイト）を越えています</translation>
    </message>
    <message>
        <source>record %1 at byte %2</source>
        <translation>レコード %1（%2 バイト目から）</translation>
    </message>
    <message>
        <source>record %1</source>
        <translation>レコード %1</translation>
    </message>
    <message>
        <source>reading</source>
        <translation>読み込み</translation>
    </message>
    <message>
        <source>writing</source>
        <translation>書き込み</translation>
    </message>
    <message>
        <source>choosing PDF files</source>
        <translation>PDFファイルへの切り替え</translation>
    </message>
    <message>
        <source>choosing the printer</source>
        <translation>プリンタへの切り替え</translation>
    </message>
    <message>
        <source>The certificates were written as PDF files to %1</source>
        <translation>賞状を PDF ファイルにしました。保存先: %1</translation>
    </message>
    <message>
        <source>Nothing is printed yet: %1</source>
        <translation>まだ何も印刷されていません: %1</translation>
    </message>
    <message>
        <source>The test page was written as a PDF file.

%1</source>
        <translation>テストページを PDF ファイルにしました。

%1</translation>
    </message>
    <message>
        <source>stopping: watching ends after the event in hand</source>
        <translation>停止します。印刷中の種目が終わってから監視を終了します</translation>
    </message>
    <message>
        <source>Writes every certificate of the ledger (its latest copy, with the texts as printed) as a PDF file of its own on the blank certificate, in the data folder&apos;s e-certificates, a folder per affiliation; prints nothing.</source>
        <translation>印刷履歴の賞状を 1 枚ずつ（最新の控えを、印刷したときの文字のまま）賞状用紙の上に置いた PDF ファイルとして、データフォルダの e-certificates に所属ごとのフォルダで書き出します（電子賞状）。印刷はしません。</translation>
    </message>
    <message>
        <source>Also writes each event&apos;s certificates as e-certificates (a PDF file each, as --make-e-certificates does) right after its document was delivered; a failure there is told once and stops nothing.</source>
        <translation>各種目の文書を渡したすぐあとに、その賞状を電子賞状（--make-e-certificates と同じく 1 枚ずつ PDF ファイル）としても書き出します。そこでの失敗は一度だけ伝え、何も止めません。</translation>
    </message>
    <message>
        <source>With --make-e-certificates: only the event of RACE (its last heat or a heat); may be given again.</source>
        <translation>--make-e-certificates と共に: RACE（種目の最終組または組）の種目だけ。繰り返し指定できます。</translation>
    </message>
    <message>
        <source>With --make-e-certificates: only the certificates of the affiliation TEXT.</source>
        <translation>--make-e-certificates と共に: 所属 TEXT の賞状だけ。</translation>
    </message>
    <message>
        <source>With --make-e-certificates: also one ZIP per affiliation written, beside its folder.</source>
        <translation>--make-e-certificates と共に: 所属ごとの ZIP もフォルダの横に書き出します。</translation>
    </message>
    <message>
        <source>--make-e-certificates cannot be given with --history, --reprint or --watch</source>
        <translation>--make-e-certificates は --history、--reprint、--watch と同時に指定できません</translation>
    </message>
    <message>
        <source>--%1 goes with --make-e-certificates</source>
        <translation>--%1 は --make-e-certificates と共に指定します</translation>
    </message>
    <message>
        <source>--race: &quot;%1&quot; is not a race from 1 to %2</source>
        <translation>--race: 「%1」は 1 から %2 までのレース番号ではありません</translation>
    </message>
    <message>
        <source>--e-certificates goes with a print run or --watch</source>
        <translation>--e-certificates は印刷または --watch と共に指定します</translation>
    </message>
    <message>
        <source>the ledger holds no certificate of the races or affiliation chosen</source>
        <translation>選んだレースまたは所属の賞状は印刷履歴にありません</translation>
    </message>
    <message>
        <source>%1 e-certificate(s) written in %2 folder(s) of %3</source>
        <translation>電子賞状 %1 件を %3 の %2 フォルダに書き出しました</translation>
    </message>
    <message>
        <source>%1 e-certificate(s) of corrected results removed</source>
        <translation>訂正された結果の電子賞状 %1 件を削除しました</translation>
    </message>
    <message>
        <source>ZIP written: %1</source>
        <translation>ZIP を書き出しました: %1</translation>
    </message>
    <message>
        <source>%1 e-certificate(s) written in %2</source>
        <translation>電子賞状 %1 件を %2 に書き出しました</translation>
    </message>
    <message>
        <source>warning: the e-certificates of %1 event(s) could not be made; the printing and marking went on: %2</source>
        <translation>警告: %1 種目の電子賞状を作れませんでした。印刷と印刷済みの記録は続けました: %2</translation>
    </message>
    <message>
        <source>writing an affiliation&apos;s ZIP of e-certificates</source>
        <translation>所属の電子賞状 ZIP の書き出し</translation>
    </message>
    <message>
        <source>the name is not one of a folder</source>
        <translation>フォルダの名前ではありません</translation>
    </message>
    <message>
        <source>there is no such folder</source>
        <translation>フォルダがありません</translation>
    </message>
    <message>
        <source>writing an e-certificate</source>
        <translation>電子賞状の書き出し</translation>
    </message>
    <message>
        <source>it is a symbolic link or not a folder; files are never written through a link here</source>
        <translation>シンボリックリンクかフォルダではありません。リンクを通してファイルを書くことはしません</translation>
    </message>
    <message>
        <source>the name is not one of a file in a folder</source>
        <translation>フォルダ内のファイルの名前ではありません</translation>
    </message>
    <message>
        <source>removing a superseded e-certificate</source>
        <translation>差し替えられた電子賞状の削除</translation>
    </message>
    <message>
        <source>splitting the certificates into e-certificate files</source>
        <translation>賞状を電子賞状のファイルに分ける処理</translation>
    </message>
    <message>
        <source>it has %1 pages, not %2</source>
        <translation>ページ数が %2 ではなく %1 です</translation>
    </message>
    <message>
        <source>reading the blank certificate for the e-certificates</source>
        <translation>電子賞状の賞状用紙の読み込み</translation>
    </message>
    <message>
        <source>it is no image that can be read, or larger than %1 pixels</source>
        <translation>読める画像ではないか、%1 ピクセルより大きい画像です</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>通常のファイルではありません</translation>
    </message>
    <message>
        <source>it is larger than %1 MB</source>
        <translation>%1 MB より大きいファイルです</translation>
    </message>
    <message>
        <source>the PDF has no page</source>
        <translation>PDF にページがありません</translation>
    </message>
    <message>
        <source>sending the award lists</source>
        <translation>表彰者一覧を送る</translation>
    </message>
    <message>
        <source>no destination is chosen for them: give --ceremony-printer or --ceremony-pdf, or choose one in the window</source>
        <translation>送り先が選ばれていません: --ceremony-printer か --ceremony-pdf を指定するか、ウィンドウで選んでください</translation>
    </message>
    <message>
        <source>Prints the certificates of the ready races without the window: the start-up of the window (the location file ..\ctl\dr_kyo.ctl, the layout file, the meet header), then one print run. The layout file is never saved; options do not change it. Relative --pdf and --log paths are taken from where the tool is started. Choices may be given by their word or by the window&apos;s caption (--condition 随時, --round 決勝).

Exit status: 0 done, 1 a failure ended the run, an event was left unprinted or an award list was not delivered, 2 bad usage.</source>
        <translation>ウィンドウを開かずに、準備のできたレースの賞状を印刷します。ウィンドウと同じ起動処理（所在ファイル ..\ctl\dr_kyo.ctl、レイアウトファイル、大会基準）のあと、印刷を一回行います。レイアウトファイルは保存せず、オプションで変わることもありません。--pdf と --log の相対パスは起動したフォルダから解釈します。選択肢は英語の語でもウィンドウの表記でも指定できます（--condition 随時、--round 決勝）。

終了コード: 0 完了、1 失敗で中断したか印刷できなかった種目または届かなかった表彰者一覧がある、2 使い方の誤り。</translation>
    </message>
    <message>
        <source>After each event&apos;s certificates, sends its award list (表彰者一覧) to the destination chosen in the window (the user&apos;s settings).</source>
        <translation>各種目の賞状のあと、その表彰者一覧をウィンドウで選んだ送り先（ユーザー設定）へ送ります。</translation>
    </message>
    <message>
        <source>Sends the award lists to the printer NAME (never the certificates&apos; own).</source>
        <translation>表彰者一覧をプリンタ NAME へ送ります（賞状のプリンタではなく）。</translation>
    </message>
    <message>
        <source>Writes the award lists as PDF files in DIR.</source>
        <translation>表彰者一覧を DIR に PDF ファイルとして書き出します。</translation>
    </message>
    <message>
        <source>Prints nothing else: the award lists of the events whose last heats are RACE,... (or of every event printed so far: all) as one document, from the ledger, in race order.</source>
        <translation>ほかは何も印刷せず、最終組が RACE,... の種目（all: これまでに印刷したすべての種目）の表彰者一覧を、台帳から、レース順に一つの文書として印刷します。</translation>
    </message>
    <message>
        <source>--ceremony-printer and --ceremony-pdf cannot be given together</source>
        <translation>--ceremony-printer と --ceremony-pdf は同時に指定できません</translation>
    </message>
    <message>
        <source>--ceremony-list-of cannot be given with --history, --reprint or --watch</source>
        <translation>--ceremony-list-of は --history、--reprint、--watch と同時に指定できません</translation>
    </message>
    <message>
        <source>--ceremony-list-of: &quot;%1&quot; is not RACE[,RACE...] (race 1 to 1024) or all</source>
        <translation>--ceremony-list-of: &quot;%1&quot; は RACE[,RACE...]（レース 1〜1024）でも all でもありません</translation>
    </message>
    <message>
        <source>the award list options cannot be given with --history or --reprint</source>
        <translation>表彰者一覧のオプションは --history や --reprint と同時に指定できません</translation>
    </message>
    <message>
        <source>--ceremony-printer needs a printer&apos;s name</source>
        <translation>--ceremony-printer にはプリンタ名が必要です</translation>
    </message>
    <message>
        <source>keeping the award list&apos;s destination</source>
        <translation>表彰者一覧の送り先を保存する</translation>
    </message>
    <message>
        <source>none</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>age %1</source>
        <translation>%1歳</translation>
    </message>
    <message>
        <source>ages %1 to %2</source>
        <translation>%1〜%2歳</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>Prefecture</source>
        <translation>県名</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>記録</translation>
    </message>
    <message>
        <source>Record mark</source>
        <translation>備考</translation>
    </message>
    <message>
        <source>Printed %1</source>
        <translation>印刷 %1</translation>
    </message>
    <message>
        <source>%1 (continued)</source>
        <translation>%1（続き）</translation>
    </message>
    <message>
        <source>page %1 / %2</source>
        <translation>%1 / %2 ページ</translation>
    </message>
    <message>
        <source>Award list %1</source>
        <translation>表彰者一覧 %1</translation>
    </message>
    <message numerus="yes">
        <source>Award list (%n events)</source>
        <translation>
            <numerusform>表彰者一覧（%n 種目）</numerusform>
        </translation>
    </message>
    <message>
        <source>printing the award lists</source>
        <translation>表彰者一覧を印刷する</translation>
    </message>
    <message>
        <source>no destination is chosen for the award lists</source>
        <translation>表彰者一覧の送り先が選ばれていません</translation>
    </message>
    <message>
        <source>the ledger holds no certificates of the events asked for</source>
        <translation>指定の種目の賞状は台帳に記録されていません</translation>
    </message>
    <message>
        <source>certificates</source>
        <translation>賞状</translation>
    </message>
    <message>
        <source>reprint</source>
        <translation>再印刷</translation>
    </message>
    <message>
        <source>test page</source>
        <translation>テスト印刷</translation>
    </message>
    <message>
        <source>calibration page</source>
        <translation>較正ページ</translation>
    </message>
    <message>
        <source>award list</source>
        <translation>表彰者一覧</translation>
    </message>
    <message>
        <source>e-certificates</source>
        <translation>電子賞状</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>種類</translation>
    </message>
    <message>
        <source>listing the printers</source>
        <translation>プリンタの一覧を得る</translation>
    </message>
    <message>
        <source>%1 was not delivered: %2</source>
        <translation>%1 は届きませんでした: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n page(s) to %2</source>
        <translation>
            <numerusform>%1: %n ページを %2 へ</numerusform>
        </translation>
    </message>
    <message>
        <source>PDF folder...</source>
        <translation>PDF フォルダ…</translation>
    </message>
    <message>
        <source>Folder for the award lists</source>
        <translation>表彰者一覧のフォルダ</translation>
    </message>
    <message>
        <source>The e-certificates of %1 event(s) could not be made; the printing and marking went on.</source>
        <translation>%1 種目の電子賞状を作れませんでした。印刷と印刷済みの記録は続けました。</translation>
    </message>
    <message>
        <source>%1 e-certificate(s) could not be written</source>
        <translation>電子賞状 %1 件を書き出せませんでした</translation>
    </message>
    <message>
        <source>no ZIP was made: it would lack files</source>
        <translation>ファイルが欠けるため ZIP は作りませんでした</translation>
    </message>
    <message>
        <source>stopped before it was sent</source>
        <translation>送る前に中止しました</translation>
    </message>
    <message>
        <source>another program uses this port (%1)</source>
        <translation>このポートは別のプログラムが使っています（%1）</translation>
    </message>
    <message>
        <source>the address is not this computer&apos;s (%1)</source>
        <translation>このアドレスはこのコンピューターのものではありません（%1）</translation>
    </message>
    <message>
        <source>cannot listen there (%1)</source>
        <translation>そこでは待ち受けできません（%1）</translation>
    </message>
    <message>
        <source>starting the venue page</source>
        <translation>会場ページの開始</translation>
    </message>
    <message>
        <source>Desk: print history</source>
        <translation>受付：印刷履歴</translation>
    </message>
    <message>
        <source>Desk PIN</source>
        <translation>受付PIN</translation>
    </message>
    <message>
        <source>This page cannot be opened so.</source>
        <translation>このページはこの方法では開けません。</translation>
    </message>
    <message>
        <source>Enter the desk PIN first.</source>
        <translation>先に受付PINを入力してください。</translation>
    </message>
    <message>
        <source>The print history cannot be read now.</source>
        <translation>いまは印刷履歴を読み出せません。</translation>
    </message>
    <message>
        <source>Not found.</source>
        <translation>見つかりません。</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>Failed jobs</source>
        <translation>失敗したジョブ</translation>
    </message>
    <message>
        <source>Reprint</source>
        <translation>再印刷</translation>
    </message>
    <message>
        <source>Print history</source>
        <translation>印刷履歴</translation>
    </message>
    <message>
        <source>The newest %1 of %2 certificates</source>
        <translation>%2枚のうち新しい%1枚</translation>
    </message>
    <message numerus="yes">
        <source>%n certificate(s)</source>
        <translation>
            <numerusform>%n枚</numerusform>
        </translation>
    </message>
    <message>
        <source>Reprint the rows chosen</source>
        <translation>選んだ行を再印刷</translation>
    </message>
    <message>
        <source>This form has expired. Open the page again.</source>
        <translation>このフォームは期限切れです。ページを開き直してください。</translation>
    </message>
    <message>
        <source>Choose the rows to print again.</source>
        <translation>再印刷する行を選んでください。</translation>
    </message>
    <message>
        <source>Print %1 certificate(s) of %2 event(s) again?</source>
        <translation>%2 種目の賞状 %1 枚を再印刷しますか？</translation>
    </message>
    <message>
        <source>Print again</source>
        <translation>再印刷する</translation>
    </message>
    <message numerus="yes">
        <source>%n certificate(s) will be printed again.</source>
        <translation>
            <numerusform>%n枚を再印刷します。</numerusform>
        </translation>
    </message>
    <message>
        <source>The printer is in use. Try again once it is done.</source>
        <translation>プリンタは使用中です。終わってからもう一度どうぞ。</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>戻る</translation>
    </message>
    <message>
        <source>Log in</source>
        <translation>ログイン</translation>
    </message>
    <message>
        <source>This form was sent from another page.</source>
        <translation>このフォームは別のページから送られました。</translation>
    </message>
    <message>
        <source>Too many wrong codes. Try again in a minute.</source>
        <translation>間違いが続きました。1分後にもう一度どうぞ。</translation>
    </message>
    <message>
        <source>The code is not right.</source>
        <translation>コードが違います。</translation>
    </message>
    <message>
        <source>Log out</source>
        <translation>ログアウト</translation>
    </message>
    <message>
        <source>Team: e-certificates</source>
        <translation>チーム：電子賞状</translation>
    </message>
    <message>
        <source>Access code</source>
        <translation>アクセスコード</translation>
    </message>
    <message>
        <source>Enter the access code first.</source>
        <translation>先にアクセスコードを入力してください。</translation>
    </message>
    <message>
        <source>The e-certificates cannot be read now.</source>
        <translation>いまは電子賞状を読み出せません。</translation>
    </message>
    <message>
        <source>No e-certificates yet.</source>
        <translation>電子賞状はまだありません。</translation>
    </message>
    <message>
        <source>Choose your affiliation</source>
        <translation>所属を選んでください</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n件</numerusform>
        </translation>
    </message>
    <message>
        <source>No e-certificates of this affiliation.</source>
        <translation>この所属の電子賞状はありません。</translation>
    </message>
    <message>
        <source>All affiliations</source>
        <translation>所属の一覧へ</translation>
    </message>
    <message>
        <source>Download all as one ZIP</source>
        <translation>まとめてZIPでダウンロード</translation>
    </message>
    <message>
        <source>The ZIP could not be made.</source>
        <translation>ZIPを作れませんでした。</translation>
    </message>
    <message>
        <source>Serves the venue page (the award board, the team downloads, the desk&apos;s page) to browsers until SIGINT or SIGTERM; with --watch, while watching.</source>
        <translation>会場ページ（表彰ボード、チームのダウンロード、受付のページ）を SIGINT か SIGTERM まで配信します。--watch と一緒なら監視している間配信します。</translation>
    </message>
    <message>
        <source>With --serve: listens on ADDR:PORT ([ADDR]:PORT for IPv6; port 0: any free one) instead of 127.0.0.1:%1. Any other address lets other machines in.</source>
        <translation>--serve と一緒に: 127.0.0.1:%1 の代わりに ADDR:PORT で待ち受けます（IPv6 は [ADDR]:PORT、ポート 0 は空いているどれか）。ほかのアドレスではほかのコンピュータからも届きます。</translation>
    </message>
    <message>
        <source>With --serve: the meet&apos;s access code for the team page is the first line of FILE (readable by its owner only). Without it the team page takes no code.</source>
        <translation>--serve と一緒に: チームのページの大会アクセスコードは FILE の1行目です（所有者だけが読めるファイル）。指定がなければチームのページはどのコードも受け付けません。</translation>
    </message>
    <message>
        <source>With --serve: the desk PIN for the desk&apos;s page is the first line of FILE (readable by its owner only). Without it the desk&apos;s page takes no PIN.</source>
        <translation>--serve と一緒に: 受付のページの PIN は FILE の1行目です（所有者だけが読めるファイル）。指定がなければ受付のページはどの PIN も受け付けません。</translation>
    </message>
    <message>
        <source>--%1 goes with --serve</source>
        <translation>--%1 は --serve と一緒に指定します</translation>
    </message>
    <message>
        <source>--serve goes alone or with --watch, not with --history, --reprint, --make-e-certificates or --ceremony-list-of</source>
        <translation>--serve は単独か --watch と一緒に指定します。--history、--reprint、--make-e-certificates、--ceremony-list-of とは一緒に指定できません</translation>
    </message>
    <message>
        <source>--listen: &quot;%1&quot; is not ADDR:PORT or [ADDR]:PORT (a numeric IPv4 or IPv6 address, port 0 to 65535)</source>
        <translation>--listen: 「%1」は ADDR:PORT でも [ADDR]:PORT でもありません（数字の IPv4 か IPv6 アドレス、ポートは 0 から 65535）</translation>
    </message>
    <message>
        <source>anybody on this machine may read it; make it readable by its owner only (chmod 600)</source>
        <translation>このコンピュータのだれでも読めます。所有者だけが読めるようにしてください（chmod 600）</translation>
    </message>
    <message>
        <source>the file is too long for a code</source>
        <translation>コードにしては長すぎるファイルです</translation>
    </message>
    <message>
        <source>its first line is empty</source>
        <translation>1行目が空です</translation>
    </message>
    <message>
        <source>reading the access code</source>
        <translation>アクセスコードの読み込み</translation>
    </message>
    <message>
        <source>reading the desk PIN</source>
        <translation>受付 PIN の読み込み</translation>
    </message>
    <message>
        <source>the venue page is served at %1</source>
        <translation>会場ページを %1 で配信しています</translation>
    </message>
    <message>
        <source>no --access-code-file: the team page refuses every code</source>
        <translation>--access-code-file がないため、チームのページはどのコードも受け付けません</translation>
    </message>
    <message>
        <source>no --desk-pin-file: the desk&apos;s page refuses every PIN</source>
        <translation>--desk-pin-file がないため、受付のページはどの PIN も受け付けません</translation>
    </message>
    <message>
        <source>serving until stopped with Ctrl+C</source>
        <translation>Ctrl+C で止めるまで配信します</translation>
    </message>
    <message>
        <source>stopping: the venue page closes; a reprint in hand ends first</source>
        <translation>終了します: 会場ページを閉じます。処理中の再印刷は終わるまで続けます</translation>
    </message>
    <message>
        <source>serving ended</source>
        <translation>配信を終了しました</translation>
    </message>
    <message>
        <source>To send the award lists not delivered again: tarvel-batch --ceremony-list-of %1</source>
        <translation>届かなかった表彰者一覧を送り直すには: tarvel-batch --ceremony-list-of %1</translation>
    </message>
</context>
<context>
    <name>tarvel::ui::AutoPrintDesk</name>
    <message>
        <source>The data folder cannot be reached; automatic printing waits for it and goes on by itself.</source>
        <translation>データフォルダに届きません。自動印刷は届くようになるのを待ち、自動で再開します。</translation>
    </message>
    <message>
        <source>The data folder can be reached again; automatic printing goes on.</source>
        <translation>データフォルダに再び届くようになりました。自動印刷を続けます。</translation>
    </message>
    <message>
        <source>Automatic printing works under 同時 only: under 随時 it would print every finished race again and again. Choose 同時 first.</source>
        <translation>自動印刷は 同時 でのみ使えます。随時 では終わったレースを何度でも印刷してしまいます。先に 同時 を選んでください。</translation>
    </message>
    <message>
        <source>随時 cannot be chosen while automatic printing is on: it would print every finished race again and again. Switch 自動印刷 off first.</source>
        <translation>自動印刷の間は 随時 を選べません。終わったレースを何度でも印刷してしまいます。先に 自動印刷 を切ってください。</translation>
    </message>
    <message>
        <source>Automatic printing goes on; what failed is tried again in a minute.</source>
        <translation>自動印刷は続けます。失敗したものは 1 分後にもう一度試します。</translation>
    </message>
</context>
<context>
    <name>tarvel::ui::DeskStrip</name>
    <message>
        <source>Write PDF files in a folder instead of printing</source>
        <translation>印刷せずにフォルダへPDFファイルを書き出します</translation>
    </message>
    <message>
        <source>Print on paper again</source>
        <translation>用紙への印刷に戻します</translation>
    </message>
</context>
<context>
    <name>tarvel::ui::FrmBrev</name>
    <message>
        <source>%1 U+%2: no installed face can draw it</source>
        <translation>%1 U+%2: この文字を描けるフォントがありません</translation>
    </message>
    <message>
        <source>Folder for the PDF files instead of paper</source>
        <translation>PDFファイルの書き出し先フォルダ</translation>
    </message>
</context>
<context>
    <name>tarvel::ui::HistoryDialog</name>
    <message>
        <source>Print history</source>
        <translation>印刷履歴</translation>
    </message>
    <message>
        <source>Reprint</source>
        <translation>再印刷</translation>
    </message>
    <message>
        <source>%1 certificate(s)</source>
        <translation>賞状 %1 枚</translation>
    </message>
    <message>
        <source>Search by name, affiliation, event or race</source>
        <translation>名前・所属・種目・レースで検索</translation>
    </message>
    <message>
        <source>Reading the print history…</source>
        <translation>印刷履歴を読み込み中…</translation>
    </message>
    <message>
        <source>Print %1 certificate(s) of %2 event(s) again?</source>
        <translation>%2 種目の賞状 %1 枚を再印刷しますか？</translation>
    </message>
    <message>
        <source>Print award lists</source>
        <translation>表彰者一覧を印刷</translation>
    </message>
    <message>
        <source>ZIP of e-certificates</source>
        <translation>電子賞状のZIP</translation>
    </message>
    <message>
        <source>Make e-certificates</source>
        <translation>電子賞状を作る</translation>
    </message>
</context>
<context>
    <name>tarvel::ui::LargePreview</name>
    <message>
        <source>Tarvel: layout</source>
        <translation>Tarvel: レイアウト</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>項目</translation>
    </message>
    <message>
        <source>no limit</source>
        <translation>制限なし</translation>
    </message>
    <message>
        <source>Widest (twips)</source>
        <translation>最大幅（twips）</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <source>Drag an item to move it, its right edge to set its widest. Arrow keys move by 10 twips, with Shift by 100; Shift while dragging places freely.</source>
        <translation>項目をドラッグすると移動、右端をドラッグすると最大幅を設定します。矢印キーで 10 twips、Shift を押しながらで 100 twips 動きます。ドラッグ中に Shift を押すと自由な位置に置けます。</translation>
    </message>
    <message>
        <source>Blank certificate behind</source>
        <translation>背景の賞状用紙</translation>
    </message>
    <message>
        <source>Blank certificate</source>
        <translation>賞状用紙</translation>
    </message>
    <message>
        <source>Scans and PDF (*.png *.jpg *.jpeg *.pdf);;All files (*)</source>
        <translation>画像と PDF (*.png *.jpg *.jpeg *.pdf);;すべてのファイル (*)</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>選ぶ...</translation>
    </message>
    <message>
        <source>None</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>Strength</source>
        <translation>濃さ</translation>
    </message>
    <message>
        <source>Printer calibration</source>
        <translation>プリンタの位置補正</translation>
    </message>
    <message>
        <source>No printer: PDF files are never moved.</source>
        <translation>プリンタがありません。PDF ファイルは補正しません。</translation>
    </message>
    <message>
        <source>Offset X (twips)</source>
        <translation>補正 X（twips）</translation>
    </message>
    <message>
        <source>Offset Y (twips)</source>
        <translation>補正 Y（twips）</translation>
    </message>
    <message>
        <source>Keep the offset</source>
        <translation>補正を保存</translation>
    </message>
    <message>
        <source>Print the calibration page</source>
        <translation>位置合わせページを印刷</translation>
    </message>
    <message>
        <source>Click an item to select it.</source>
        <translation>項目をクリックして選んでください。</translation>
    </message>
    <message>
        <source>Kept for %1: X %2, Y %3 twips; the next pages printed there are moved by it.</source>
        <translation>%1 の補正を保存しました: X %2、Y %3 twips。このプリンタで次に印刷するページから、この分だけずらします。</translation>
    </message>
    <message>
        <source>The calibration page went to %1 (job %2).</source>
        <translation>位置合わせページを %1 に送りました（ジョブ %2）。</translation>
    </message>
    <message>
        <source>The calibration page was written to %1.</source>
        <translation>位置合わせページを %1 に書き出しました。</translation>
    </message>
    <message>
        <source>Blank certificate not shown: %1</source>
        <translation>賞状用紙を表示できません: %1</translation>
    </message>
    <message>
        <source>Printing the calibration page...</source>
        <translation>位置合わせページを印刷しています…</translation>
    </message>
    <message>
        <source>Looking the printer up...</source>
        <translation>プリンタを確認しています…</translation>
    </message>
</context>
<context>
    <name>tarvel::ui::LedgerDesk</name>
    <message>
        <source>Print failed: %1</source>
        <translation>印刷失敗: %1</translation>
    </message>
    <message>
        <source>The certificate ledger cannot be written now; printing goes on, and the certificates printed are kept and written into it once it can be.</source>
        <translation>いま印刷履歴に書き込めません。印刷は続けます。印刷した賞状の記録は保持し、書き込めるようになりしだい書き込みます。</translation>
    </message>
    <message>
        <source>The certificate ledger is written again; no certificate was lost.</source>
        <translation>印刷履歴に再び書き込めました。賞状の記録は失われていません。</translation>
    </message>
    <message>
        <source>Award list not delivered: %1</source>
        <translation>表彰者一覧が届きませんでした: %1</translation>
    </message>
    <message>
        <source>%1 holds no certificates to print again; print it anew with its own button (テスト印刷, or 位置合わせページを印刷 in the large preview).</source>
        <translation>%1 には再印刷する賞状がありません。そのボタンでもう一度印刷してください（テスト印刷、または拡大画面の 位置合わせページを印刷）。</translation>
    </message>
    <message>
        <source>making e-certificates</source>
        <translation>電子賞状の作成</translation>
    </message>
    <message>
        <source>no certificate has been recorded for this meet yet</source>
        <translation>この大会ではまだ賞状が記録されていません</translation>
    </message>
    <message>
        <source>the ledger holds no certificate of the rows chosen</source>
        <translation>選んだ行の賞状が印刷台帳にありません</translation>
    </message>
    <message>
        <source>%1 e-certificate(s) written in %2 folder(s) of %3</source>
        <translation>電子賞状 %1 件を %3 の %2 フォルダに書き出しました</translation>
    </message>
    <message>
        <source>%1 e-certificate(s) of corrected results removed</source>
        <translation>訂正された結果の電子賞状 %1 件を削除しました</translation>
    </message>
    <message>
        <source>ZIP written: %1</source>
        <translation>ZIP を書き出しました: %1</translation>
    </message>
    <message>
        <source>%1 e-certificate(s) could not be written</source>
        <translation>電子賞状 %1 件を書き出せませんでした</translation>
    </message>
    <message>
        <source>no ZIP was made: it would lack files</source>
        <translation>ファイルが欠けるため ZIP は作りませんでした</translation>
    </message>
</context>
<context>
    <name>tarvel::ui::MeetChooser</name>
    <message>
        <source>The meet&apos;s location file was not found.

Looked for: %1
from the folder: %2

Choose the meet: one opened before, or its ctl folder or its dr_kyo.ctl.</source>
        <translation>大会の所在ファイルが見つかりません。

探したファイル: %1
探したフォルダ: %2

大会を選んでください。前に開いた大会か、大会の ctl フォルダまたは dr_kyo.ctl を選べます。</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>選ぶ...</translation>
    </message>
    <message>
        <source>Choose the meet&apos;s ctl folder or its dr_kyo.ctl</source>
        <translation>大会の ctl フォルダまたは dr_kyo.ctl を選ぶ</translation>
    </message>
    <message>
        <source>Location file (dr_kyo.ctl *.ctl);;All files (*)</source>
        <translation>所在ファイル (dr_kyo.ctl *.ctl);;すべてのファイル (*)</translation>
    </message>
    <message>
        <source>There is no dr_kyo.ctl in %1, nor in a ctl folder there.</source>
        <translation>%1 にも、その中の ctl フォルダにも dr_kyo.ctl がありません。</translation>
    </message>
</context>
<context>
    <name>tarvel::ui::PrintProgress</name>
    <message>
        <source>Stop</source>
        <translation>中止</translation>
    </message>
    <message>
        <source>Printing: race %1 of %2</source>
        <translation>印刷中: レース %1 / %2</translation>
    </message>
    <message>
        <source>%1 certificate(s) so far</source>
        <translation>賞状 %1 枚</translation>
    </message>
    <message>
        <source>Stopping after this event...</source>
        <translation>この種目のあとで中止します...</translation>
    </message>
</context>
<context>
    <name>tarvel::ui::VenueDesk</name>
    <message>
        <source>The access code and the desk PIN cannot be empty; the codes in use stay as they were.</source>
        <translation>アクセスコードと受付 PIN は空にできません。使用中のコードはそのままです。</translation>
    </message>
    <message>
        <source>The venue page could not be started.

Address: %1
Reason: %2</source>
        <translation>会場ページを開始できませんでした。

アドレス: %1
理由: %2</translation>
    </message>
</context>
<context>
    <name>tarvel::ui::VenueDialog</name>
    <message>
        <source>The venue page is not served; tick 会場ページ.</source>
        <translation>会場ページは配信されていません。「会場ページ」にチェックを入れてください。</translation>
    </message>
</context>
</TS>
