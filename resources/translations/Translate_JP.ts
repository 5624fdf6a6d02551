<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Dialog_Privary_Policy</name>
    <message>
        <source>Privacy Policy</source>
        <translation>プライバシーポリシー</translation>
    </message>
    <message>
        <source>Understand</source>
        <translation>了解しました</translation>
    </message>
    <message>
        <source>To protect your privacy, Vortane Screen works entirely on this computer. It has no account, no advertising, no usage statistics and no automatic update check, and it does not use the network.</source>
        <translation>お客様のプライバシーを守るため、Vortane Screen はすべてこのコンピューター上で動作します。アカウント、広告、利用統計、自動更新チェックはなく、ネットワークも使用しません。</translation>
    </message>
    <message>
        <source>What the program reads: hardware sensor readings such as temperatures, fan speeds, voltages, clock frequencies and usage are read locally from this computer's operating system, once a second, only to show them on the homepage and on your cooler's screen. They are not recorded and are never sent anywhere else.</source>
        <translation>プログラムが読み取る情報：温度、ファン回転数、電圧、クロック周波数、使用率などのハードウェアセンサーの値は、このコンピューターのオペレーティングシステムから1秒に1回ローカルで読み取られ、ホーム画面とクーラーの画面に表示するためだけに使われます。記録されることはなく、他のどこにも送信されません。</translation>
    </message>
    <message>
        <source>What the program stores: your cooler settings (such as colours, brightness, rotation angle, the sensors you chose and your display, screen and clock settings), your sensor remarks and the media files you add are kept in local files on this computer: bgConfig.ini, sensorRemark.ini and the Background folder, next to the program or in your user data folder. If you turn on Launch on startup, an autostart entry is added for your user account and removed again when you turn it off.</source>
        <translation>プログラムが保存する情報：クーラーの設定（色、明るさ、回転角度、選択したセンサー、表示・スクリーン・時計の設定など）、センサーのメモ、追加したメディアファイルは、このコンピューター上のローカルファイル（bgConfig.ini、sensorRemark.ini、Background フォルダー）に、プログラムと同じ場所またはユーザーデータフォルダーに保存されます。「スタートアップ時に起動」をオンにすると、お使いのユーザーアカウントに自動起動の項目が追加され、オフにすると削除されます。</translation>
    </message>
    <message>
        <source>What the program sends: pictures, videos, sensor readings and device settings go only to your cooler's screen controller, over its USB cable. Nothing is sent to the maker of the cooler or to anyone else.</source>
        <translation>プログラムが送信する情報：画像、動画、センサーの値、デバイスの設定は、USB ケーブルを通じてクーラーの画面コントローラーにのみ送られます。クーラーのメーカーやその他の誰にも何も送信されません。</translation>
    </message>
    <message>
        <source>Web pages: the About Us button opens the maker's web site in your own browser only when you click it; that web site has its own privacy policy.</source>
        <translation>Web ページ：「会社概要」ボタンは、クリックしたときにだけメーカーの Web サイトをお使いのブラウザーで開きます。その Web サイトには独自のプライバシーポリシーがあります。</translation>
    </message>
    <message>
        <source>Removing your data: deleting the files and the folder named above removes everything the program has stored.</source>
        <translation>データの削除：上記のファイルとフォルダーを削除すると、プログラムが保存したものはすべて削除されます。</translation>
    </message>
</context>
<context>
    <name>Dialog_User_Agreement</name>
    <message>
        <source>User Agreement</source>
        <translation>利用規約</translation>
    </message>
    <message>
        <source>End User License Agreement</source>
        <translation>エンドユーザー使用許諾契約</translation>
    </message>
    <message>
        <source>Agree</source>
        <translation>同意する</translation>
    </message>
</context>
<context>
    <name>Dialog_Warn_delete</name>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Delete?</source>
        <translation>削除しますか？</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
</context>
<context>
    <name>HwinfoProperty</name>
    <message>
        <source>Title font</source>
        <translation>タイトルのフォント</translation>
    </message>
    <message>
        <source>Title colour</source>
        <translation>タイトルの色</translation>
    </message>
    <message>
        <source>Choose sensor</source>
        <translation>センサーを選択</translation>
    </message>
    <message>
        <source>Show on the screen</source>
        <translation>画面に表示</translation>
    </message>
    <message>
        <source>Value font</source>
        <translation>値のフォント</translation>
    </message>
    <message>
        <source>Value colour</source>
        <translation>値の色</translation>
    </message>
</context>
<context>
    <name>HwinfoSelectDialog</name>
    <message>
        <source>Sensor Name</source>
        <translation>センサー名</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>Remark</source>
        <translation>備考</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Canncel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>LibusbUsbDevice</name>
    <message>
        <source>USB access is not available.</source>
        <translation>USB にアクセスできません。</translation>
    </message>
    <message>
        <source>The device at %1 has no bulk pipes.</source>
        <translation>%1 のデバイスにはバルク転送パイプがありません。</translation>
    </message>
    <message>
        <source>The device at %1 has its bulk IN pipe on interface %2 and its bulk OUT pipe on interface %3; both must be on one interface.</source>
        <translation>%1 のデバイスはバルク入力パイプがインターフェース %2、バルク出力パイプがインターフェース %3 にあります。両方が同じインターフェースにある必要があります。</translation>
    </message>
    <message>
        <source>The device at %1 is in use: %2</source>
        <translation>%1 のデバイスは使用中です: %2</translation>
    </message>
</context>
<context>
    <name>HomepageDashboard</name>
    <message>
        <source>CPU Package</source>
        <translation>CPU パッケージ</translation>
    </message>
    <message>
        <source>Motherboard</source>
        <translation>マザーボード</translation>
    </message>
    <message>
        <source>Chipset</source>
        <translation>チップセット</translation>
    </message>
    <message>
        <source>CPU Average</source>
        <translation>CPU 平均</translation>
    </message>
    <message>
        <source>AIO Pump</source>
        <translation>AIO ポンプ</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Homepage</source>
        <translation>ホーム</translation>
    </message>
    <message>
        <source>Screen Settings</source>
        <translation>画面設定</translation>
    </message>
    <message>
        <source>Media Library</source>
        <translation>メディアライブラリ</translation>
    </message>
    <message>
        <source>Repeat 1</source>
        <translation>1曲リピート</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>リピート</translation>
    </message>
    <message>
        <source>Shuffle</source>
        <translation>シャッフル</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>横向き</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>縦向き</translation>
    </message>
    <message>
        <source>Info Visuals</source>
        <translation>情報表示</translation>
    </message>
    <message>
        <source>Clock</source>
        <translation>時計</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
    <message>
        <source>Temperature unit</source>
        <translation>温度単位</translation>
    </message>
    <message>
        <source>Launch on startup</source>
        <translation>起動時に実行</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>画面</translation>
    </message>
    <message>
        <source>Standby mode</source>
        <translation>スタンバイモード</translation>
    </message>
    <message>
        <source>The screen will remain on with the boot animation, even when the computer is in sleep, hibernation, or powered off mode.</source>
        <translation>コンピューターがスリープ、休止状態、または電源オフのときも、画面は起動アニメーションを表示したまま点灯し続けます。</translation>
    </message>
    <message>
        <source>App Version</source>
        <translation>アプリのバージョン</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>ファームウェアのバージョン</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>アップロード</translation>
    </message>
    <message>
        <source>Privacy Policy</source>
        <translation>プライバシーポリシー</translation>
    </message>
    <message>
        <source>User Agreement</source>
        <translation>利用規約</translation>
    </message>
    <message>
        <source>About Us</source>
        <translation>会社概要</translation>
    </message>
    <message>
        <source>FAQ</source>
        <translation>よくある質問</translation>
    </message>
    <message>
        <source>Fan Speed</source>
        <translation>ファン回転数</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>電圧</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>使用率</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>周波数</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>lost</source>
        <translation> が見つかりません</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>未接続</translation>
    </message>
    <message>
        <source>Select Firmware</source>
        <translation>ファームウェアを選択</translation>
    </message>
    <message>
        <source>Please DO NOT remove the device during the firmware update process.</source>
        <translation>ファームウェアの更新中はデバイスを取り外さないでください。</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>An issue occurred during the upload. Please try again.</source>
        <translation>アップロード中に問題が発生しました。もう一度お試しください。</translation>
    </message>
    <message>
        <source>Updated successfully</source>
        <translation>更新が完了しました</translation>
    </message>
    <message>
        <source>Your device has been updated and is now using the latest version.</source>
        <translation>デバイスは更新され、最新バージョンで動作しています。</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>お知らせ</translation>
    </message>
    <message>
        <source>You have reached the upload limit (15 media files). To upload new files, please delete some existing files from the media library.</source>
        <translation>アップロードの上限（メディアファイル 15 件）に達しました。新しいファイルをアップロードするには、メディアライブラリから既存のファイルをいくつか削除してください。</translation>
    </message>
    <message>
        <source>Select a media file</source>
        <translation>メディアファイルを選択</translation>
    </message>
    <message>
        <source>Make sure the file you upload is in PNG, JPG, GIF, MP4, or AVI format and is less than 500 MB in size.</source>
        <translation>アップロードするファイルが PNG、JPG、GIF、MP4、AVI のいずれかの形式で、サイズが 500 MB 未満であることを確認してください。</translation>
    </message>
    <message>
        <source>Upload Media File</source>
        <translation>メディアファイルのアップロード</translation>
    </message>
    <message>
        <source>Uploading media file, please wait</source>
        <translation>メディアファイルをアップロードしています。しばらくお待ちください</translation>
    </message>
    <message>
        <source>No mainboard sensor chip found, so board temperatures and fans are not shown. Loading the board&apos;s sensor driver (for example nct6775 or it87) usually fixes this.</source>
        <translation>マザーボードのセンサーチップが見つからないため、ボードの温度とファンは表示されません。ボードのセンサードライバー（例：nct6775 や it87）を読み込むと、通常は解決します。</translation>
    </message>
</context>
<context>
    <name>NoticeDialog</name>
    <message>
        <source>Notice</source>
        <translation>お知らせ</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Progress</source>
        <translation>進行状況</translation>
    </message>
</context>
<context>
    <name>SimUsbDevice</name>
    <message>
        <source>The path of the simulated screen is too long: %1</source>
        <translation>シミュレート画面のパスが長すぎます: %1</translation>
    </message>
    <message>
        <source>Cannot connect to the simulated screen at %1: %2</source>
        <translation>%1 のシミュレート画面に接続できません: %2</translation>
    </message>
</context>
<context>
    <name>SimulatorWindow</name>
    <message>
        <source>Simulated screen: %1</source>
        <translation>シミュレートされた画面：%1</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>デバイス：</translation>
    </message>
    <message>
        <source>State:</source>
        <translation>状態：</translation>
    </message>
    <message>
        <source>Last frame:</source>
        <translation>最新フレーム：</translation>
    </message>
    <message>
        <source>Frame rate:</source>
        <translation>フレームレート：</translation>
    </message>
    <message>
        <source>Errors:</source>
        <translation>エラー：</translation>
    </message>
    <message>
        <source>Firmware:</source>
        <translation>ファームウェア：</translation>
    </message>
    <message>
        <source>Faults:</source>
        <translation>擬似障害：</translation>
    </message>
    <message numerus="yes">
        <source>last image accepted (%n bytes)</source>
        <translation>
            <numerusform>前回のイメージを受理（%n バイト）</numerusform>
        </translation>
    </message>
    <message>
        <source>last image rejected</source>
        <translation>前回のイメージを拒否</translation>
    </message>
    <message>
        <source>%1, firmware %2 (%3)</source>
        <translation>%1、ファームウェア %2（%3）</translation>
    </message>
    <message>
        <source>none yet</source>
        <translation>まだありません</translation>
    </message>
    <message>
        <source>standby mode on</source>
        <translation>スタンバイモード オン</translation>
    </message>
    <message>
        <source>standby mode off</source>
        <translation>スタンバイモード オフ</translation>
    </message>
    <message>
        <source>brightness 0 (dark)</source>
        <translation>輝度 0（消灯）</translation>
    </message>
    <message>
        <source>brightness %1</source>
        <translation>輝度 %1</translation>
    </message>
    <message>
        <source>%1 x %2, %3, %4, %5</source>
        <translation>%1 × %2、%3、%4、%5</translation>
    </message>
    <message numerus="yes">
        <source>%1 fps (peak %2, mean %3), %n frames</source>
        <translation>
            <numerusform>%1 fps（ピーク %2、平均 %3）、%n フレーム</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 in frame headers, %2 in pictures, %3 in commands, %4 in firmware blocks</source>
        <translation>フレームヘッダー %1、画像 %2、コマンド %3、ファームウェアブロック %4</translation>
    </message>
    <message numerus="yes">
        <source>%n blocks, %1 bytes received</source>
        <translation>
            <numerusform>%n ブロック、%1 バイト受信</numerusform>
        </translation>
    </message>
    <message>
        <source>Update mode
%1</source>
        <translation>アップデートモード
%1</translation>
    </message>
    <message>
        <source>Waiting for frames</source>
        <translation>フレーム待機中</translation>
    </message>
    <message>
        <source>Restarting</source>
        <translation>再起動中</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>切断されました</translation>
    </message>
    <message>
        <source>Switched off</source>
        <translation>電源オフ</translation>
    </message>
    <message>
        <source>update mode</source>
        <translation>アップデートモード</translation>
    </message>
    <message>
        <source>normal mode</source>
        <translation>通常モード</translation>
    </message>
    <message>
        <source>restarting into update mode</source>
        <translation>アップデートモードで再起動中</translation>
    </message>
    <message>
        <source>restarting into normal mode</source>
        <translation>通常モードで再起動中</translation>
    </message>
    <message>
        <source>disconnected on purpose</source>
        <translation>意図的に切断</translation>
    </message>
    <message>
        <source>switched off</source>
        <translation>電源オフ</translation>
    </message>
    <message>
        <source>dynamic display</source>
        <translation>ダイナミック表示</translation>
    </message>
    <message>
        <source>digital clock</source>
        <translation>デジタル時計</translation>
    </message>
    <message>
        <source>analog clock</source>
        <translation>アナログ時計</translation>
    </message>
    <message>
        <source>display mode %1</source>
        <translation>表示モード %1</translation>
    </message>
    <message>
        <source>no replies</source>
        <translation>応答なし</translation>
    </message>
    <message>
        <source>replies one byte short</source>
        <translation>応答が 1 バイト不足</translation>
    </message>
    <message>
        <source>replies with a bad CRC</source>
        <translation>応答の CRC が不正</translation>
    </message>
    <message>
        <source>state "%1"</source>
        <translation>状態「%1」</translation>
    </message>
    <message>
        <source>model bytes %1</source>
        <translation>モデルバイト %1</translation>
    </message>
    <message>
        <source>firmware rejected</source>
        <translation>ファームウェアを拒否</translation>
    </message>
    <message numerus="yes">
        <source>vanishes after %n firmware blocks</source>
        <translation>
            <numerusform>ファームウェア %n ブロック後に消える</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>vanishes after %n frames</source>
        <translation>
            <numerusform>%n フレーム後に消える</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>stalls after %n frames</source>
        <translation>
            <numerusform>%n フレーム後に受信停止</numerusform>
        </translation>
    </message>
    <message>
        <source>none</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1；%2</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
</context>
<context>
    <name>UsbDevice</name>
    <message>
        <source>This user may not open the screen. Install the rule 70-vortane-screen.rules into /etc/udev/rules.d, run "sudo udevadm control --reload-rules" and "sudo udevadm trigger", then unplug the cooler's USB cable and plug it in again.</source>
        <translation>このユーザーには画面を開く権限がありません。ルール 70-vortane-screen.rules を /etc/udev/rules.d にインストールし、「sudo udevadm control --reload-rules」と「sudo udevadm trigger」を実行してから、クーラーの USB ケーブルを抜いて差し直してください。</translation>
    </message>
    <message>
        <source>No device at %1.</source>
        <translation>%1 にデバイスがありません。</translation>
    </message>
</context>
<context>
    <name>WinUsbDevice</name>
    <message>
        <source>Cannot open the device at %1 (error %2).</source>
        <translation>%1 のデバイスを開けません (エラー %2)。</translation>
    </message>
</context>
<context>
    <name>pixScaleDialog</name>
    <message>
        <source>Photo or video cropping</source>
        <translation>写真または動画のトリミング</translation>
    </message>
    <message>
        <source>For better display quality, please select a ratio before cropping.</source>
        <translation>より良い表示品質のため、トリミングの前に比率を選択してください。</translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation>幅合わせ</translation>
    </message>
    <message>
        <source>Fit height</source>
        <translation>高さ合わせ</translation>
    </message>
    <message>
        <source>Rotate 90°</source>
        <translation>90°回転</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>Upload Media File</source>
        <translation>メディアファイルのアップロード</translation>
    </message>
    <message>
        <source>Uploading media file, please wait</source>
        <translation>メディアファイルをアップロードしています。お待ちください</translation>
    </message>
</context>
</TS>
