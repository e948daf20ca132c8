<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Files</name>
    <message>
        <location filename="../src/core/safe_files.cpp" line="+40"/>
        <source>通常のファイルではありません</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>名前付きパイプ</source>
        <translation>a named pipe</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>フォルダー</source>
        <translation>a folder</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>デバイス</source>
        <translation>a device</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ソケット</source>
        <translation>a socket</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>特殊なファイル</source>
        <translation>a special file</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>リンク先がありません（%1）</source>
        <translation>the link leads nowhere (%1)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>（リンク先が%1）</source>
        <translation> (the link leads to %1)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>フォルダーの外を指すリンクです（%1）</source>
        <translation>a link that points out of the folder (%1)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <location line="+124"/>
        <source>書いた大きさが合いません（%1 バイトのはずが %2 バイト）</source>
        <translation>the written size does not match (%2 bytes instead of %1)</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>ファイルが大きすぎます</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>
%1 を元に戻せませんでした: %2</source>
        <translation>
%1 could not be put back: %2</translation>
    </message>
    <message>
        <location line="+100"/>
        <source>ロックファイル %1 を使えません（%2）</source>
        <translation>The lock file %1 cannot be used (%2)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <location line="+32"/>
        <source>別に起動しているタワユ（プロセス %1）が使用中です</source>
        <translation>another running copy of the game (process %1) is using it</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>前のロックが残っていて、削除できません</source>
        <translation>an old lock was left behind and cannot be removed</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>別に起動しているタワユが使用中です</source>
        <translation>another running copy of the game is using it</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>ロックファイルを作れません（書き込み禁止）</source>
        <translation>the lock file cannot be made (writing is not allowed)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>ロックファイルを作れません（ディスクがいっぱいか、書き込み禁止です）</source>
        <translation>the lock file cannot be made (the disk is full or writing is not allowed)</translation>
    </message>
    <message>
        <location filename="../src/core/text_files.cpp" line="+69"/>
        <source>（ichirun.txt が大きすぎるため、ここから後は表示していません。）<byte value="xd"/>
</source>
        <translation>(ichirun.txt is too large; the rest is not shown.)</translation>
    </message>
    <message>
        <location filename="../src/core/own_folder.cpp" line="+25"/>
        <source>リンクです（たどりません）</source>
        <translation>a link (never followed)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>通常のファイルではありません（%1）</source>
        <translation>not a regular file (%1)</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>フォルダーではありません（%1）</source>
        <translation>not a folder (%1)</translation>
    </message>
</context>
<context>
    <name>FolderSelection</name>
    <message>
        <location filename="../src/ui/shell/folder_selection.cpp" line="+13"/>
        <source>データファイル（歌または作者）を一つ選択し開くと その場所から歌のデータを読み出します。</source>
        <translation>Open one picture file (a poem or a poet): the pictures are then read from its folder.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>歌、作者ファイルを読み出すフォルダを</source>
        <translation>The pictures of poems and poets will be read from the folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>に設定します。</source>
        <translation>.</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+6"/>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>歌、作者ファイルの設定フォルダを戻します。</source>
        <translation>The pictures of poems and poets are read from the usual place again.</translation>
    </message>
</context>
<context>
    <name>Game</name>
    <message>
        <location filename="../src/core/game.cpp" line="+154"/>
        <source>開始ボタンを左クリックしてください。</source>
        <translation>Click the Start button.</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>上の句に続く下の句をできるだけ早く選んでください。</source>
        <translation>Pick the lower verse that completes the upper verse, as fast as you can.</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>読み上げの用意が間に合わないため、この問題は文字だけで表示します。</source>
        <translation>The reading is not ready in time; this question is shown as text only.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>この問題は文字だけで表示します（%1）。</source>
        <translation>This question is shown as text only (%1).</translation>
    </message>
    <message>
        <location line="+169"/>
        <source> 正解です。開始ボタンを左クリックしてください。</source>
        <translation> Right! Click the Start button.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>まちがいました。次を選んでください！</source>
        <translation>Wrong card. Pick another one!</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>残念でした。次回はがんばってください！</source>
        <translation>Too bad. Better luck next time!</translation>
    </message>
    <message>
        <location line="+113"/>
        <source>%1 (おてつき %2)</source>
        <translation>%1 (faults: %2)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 (反応 %2 秒)</source>
        <translation>%1 (reaction %2 s)</translation>
    </message>
    <message>
        <location filename="../src/core/game_session.cpp" line="+90"/>
        <source>もう一度挑戦しますか。</source>
        <translation>Do you want to try again?</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <location filename="../src/history/history.cpp" line="+182"/>
        <location filename="../src/history/statistics.cpp" line="+25"/>
        <source>SQLiteの原因不明のエラー</source>
        <translation>an unknown SQLite error</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1 は通常のファイルではありません。</source>
        <translation>%1 is not a regular file.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>フォルダー %1 に書き込めません（%2）</source>
        <translation>Cannot write in the folder %1 (%2)</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 に書き込めません（%2）</source>
        <translation>Cannot write %1 (%2)</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>%1 はSQLiteのデータベースではありません。</source>
        <translation>%1 is not an SQLite database.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 はこのゲームの履歴ではありません。</source>
        <translation>%1 is not this game&apos;s history.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 は新しい版のゲームで作られた履歴です。</source>
        <translation>%1 is a history made by a newer version of the game.</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>SQLiteのドライバー(QSQLITE)がありません。</source>
        <translation>The SQLite driver (QSQLITE) is missing.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>%1 は壊れています（%2）。</source>
        <translation>%1 is damaged (%2).</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>このゲームの履歴ではありません。</source>
        <translation>This is not this game&apos;s history.</translation>
    </message>
    <message>
        <location line="+457"/>
        <source>%1 件の書き込みが、書き込めないまま待っています。</source>
        <translation>%1 writes are waiting and cannot be written.</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>履歴がないため、分析できません。</source>
        <translation>There is no history to analyse.</translation>
    </message>
    <message>
        <location filename="../src/history/practice_source.cpp" line="+27"/>
        <source>苦手な歌の記録を履歴から読めません。どの歌も新しい歌として出題します。
理由: %1</source>
        <translation>The drill&apos;s record cannot be read from the history. Every poem is asked as a new one.
Reason: %1</translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <location filename="../src/ui/shell/preferences.cpp" line="+73"/>
        <source>個人設定のファイルを使えません。初期設定で続け、保存はしません。
%1</source>
        <translation>Your own settings file cannot be used. The game goes on with the defaults and saves nothing.
%1</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>個人設定のファイルを使えません。設定は保存されていません。
%1</source>
        <translation>Your own settings file cannot be used. The setting was not saved.
%1</translation>
    </message>
    <message>
        <location line="+148"/>
        <source>ツールバーの配置を保存できませんでした。
%1</source>
        <translation>The toolbar&apos;s arrangement could not be saved.
%1</translation>
    </message>
    <message>
        <location filename="../src/ui/shell/options_file.cpp" line="+189"/>
        <source>%1: %2 MiB を超えるため読みません</source>
        <translation>%1: larger than %2 MiB, not read</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1: フォルダーを作れません</source>
        <translation>%1: the folder cannot be made</translation>
    </message>
</context>
<context>
    <name>Records</name>
    <message>
        <location filename="../src/records/record_book.cpp" line="+35"/>
        <source>ファイルが大きすぎます</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>記録ファイル NUPEKI3.DAT を使えません。記録は登録されていません。</source>
        <translation>The records file NUPEKI3.DAT cannot be used. The result was not registered.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>記録ファイル NUPEKI3.DAT を読めません。記録は登録されていません。</source>
        <translation>The records file NUPEKI3.DAT cannot be read. The result was not registered.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>登録のチャンスは一度です。再登録はできません。</source>
        <translation>A result has one chance. It cannot be registered again.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>非常に惜しいです。もう少しで登録できます。</source>
        <translation>So close! A little better and it will be registered.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>残念ながら、成績が悪くて登録できません！</source>
        <translation>Sorry, the result is not good enough to be registered!</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>記録ファイル NUPEKI3.DAT に書き込めませんでした。記録は登録されていません。</source>
        <translation>The records file NUPEKI3.DAT could not be written. The result was not registered.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>記録ファイル NUPEKI3.DAT を読めません。
理由: %1</source>
        <translation>The records file NUPEKI3.DAT cannot be read.
Reason: %1</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>記録ファイル NUPEKI3.DAT を削除できませんでした。記録は初期化されていません。</source>
        <translation>The records file NUPEKI3.DAT could not be deleted. The records were not reset.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1
理由: %2</source>
        <translation>%1
Reason: %2</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../src/core/settings.cpp" line="+148"/>
        <source>設定ファイル %1 を読めません。
理由: %2
初期設定で続けます。</source>
        <translation>The settings file %1 cannot be read.
Reason: %2
The game goes on with the defaults.</translation>
    </message>
    <message>
        <location line="+68"/>
        <source>条件設定を保存しました。</source>
        <translation>The settings were saved.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>初期設定に戻しました。</source>
        <translation>The defaults are restored.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>設定ファイル %1 に書き込めませんでした。
理由: %2
%3</source>
        <translation>The settings file %1 could not be written.
Reason: %2
%3</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>設定は保存されていません（%1 と %2 は元のままです）。</source>
        <translation>The settings were not saved (%1 and %2 are as they were).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>設定は保存されていません。</source>
        <translation>The settings were not saved.</translation>
    </message>
</context>
<context>
    <name>Statistics</name>
    <message>
        <location filename="../src/history/statistics.cpp" line="+307"/>
        <source>今</source>
        <translation>now</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>かなの表記: %1（%2字決まり）</source>
        <translation>In kana: %1 (%2 decisive characters)</translation>
    </message>
</context>
<context>
    <name>Voice</name>
    <message>
        <location filename="../src/voice/output.cpp" line="+107"/>
        <source>サウンドサーバーが答えません</source>
        <translation>the sound server does not answer</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>サウンドサーバーに音の出力先がありません</source>
        <translation>the sound server has no output</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>PulseAudio の準備ができません</source>
        <translation>PulseAudio cannot be set up</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>サウンドサーバーにつながりません: %1</source>
        <translation>cannot connect to the sound server: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>答えがありません</source>
        <translation>no answer</translation>
    </message>
    <message>
        <location line="+68"/>
        <source>サウンドサーバーにつながっていません</source>
        <translation>not connected to the sound server</translation>
    </message>
    <message>
        <location line="+101"/>
        <source>サウンドサーバーとの接続が切れました</source>
        <translation>the connection to the sound server was lost</translation>
    </message>
    <message>
        <location filename="../src/voice/rendering.cpp" line="+62"/>
        <source>open_jtalk の出力が %1 MiB を超えたため止めました</source>
        <translation>open_jtalk was stopped: its output passed %1 MiB</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>終了するため止めました</source>
        <translation>stopped: the program is closing</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>open_jtalk が %1 秒で終わりません</source>
        <translation>open_jtalk did not finish within %1 s</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>open_jtalk のメッセージが多すぎます</source>
        <translation>open_jtalk wrote too many messages</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>open_jtalk が終了コード %1 で終わりました</source>
        <translation>open_jtalk ended with exit code %1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>open_jtalk が音声を書き出しませんでした</source>
        <translation>open_jtalk wrote no sound</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>「%1」の音の切れ目を文字に合わせられません</source>
        <translation>the sounds of &quot;%1&quot; cannot be matched to its characters</translation>
    </message>
    <message>
        <location line="+127"/>
        <source>「%1」が書かれたとおりに発音されません（%2）</source>
        <translation>&quot;%1&quot; is not pronounced as written (%2)</translation>
    </message>
    <message>
        <location filename="../src/voice/cache.cpp" line="+28"/>
        <source>%1: 読み上げの保存データが壊れています</source>
        <translation>%1: the stored reading is damaged</translation>
    </message>
    <message>
        <location line="+106"/>
        <source>%1: 音声を圧縮できません</source>
        <translation>%1: the sound cannot be packed</translation>
    </message>
    <message>
        <location filename="../src/voice/reader.cpp" line="+102"/>
        <source>読み上げには次のパッケージが必要です: %1</source>
        <translation>Reading aloud needs these packages: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>音声の出力先がありません（%1）。サウンドサーバー（PulseAudio または PipeWire）が必要です。</source>
        <translation>There is no sound output (%1). A sound server (PulseAudio or PipeWire) is needed.</translation>
    </message>
    <message>
        <location line="+205"/>
        <location line="+12"/>
        <source>読み上げの音声を保存できません（保存せずに続けます）: %1</source>
        <translation>The reading cannot be stored (it goes on without storing): %1</translation>
    </message>
    <message>
        <location line="-6"/>
        <location line="+83"/>
        <source>読み上げの保存データを使えません（作り直します）: %1</source>
        <translation>A stored reading cannot be used (it is made again): %1</translation>
    </message>
    <message>
        <location line="-71"/>
        <source>読み上げの音声を作れませんでした: %1</source>
        <translation>The reading could not be made: %1</translation>
    </message>
    <message>
        <location line="+106"/>
        <source>音声の出力を準備中</source>
        <translation>the sound output is being prepared</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>音声の出力が止まっています</source>
        <translation>the sound output has stopped</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>読み上げの準備中 %1/%2</source>
        <translation>Preparing the reading %1/%2</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>歌 %1 の文字と音を対応させられません。文字の表示で続けます。</source>
        <translation>The text and sound of poem %1 cannot be matched. The verse goes on as text.</translation>
    </message>
    <message>
        <location line="+45"/>
        <location line="+85"/>
        <source>%1 ms のあいだ再生が進みません</source>
        <translation>the playback has not moved for %1 ms</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>音声の出力が止まりました（%1）。文字の表示で続けます。</source>
        <translation>The sound stopped (%1). The verse goes on as text.</translation>
    </message>
</context>
<context>
    <name>nupew::BoardWindow</name>
    <message>
        <location filename="../src/ui/board/board_window.cpp" line="+55"/>
        <location line="+230"/>
        <source>タワユかるたとりゲーム</source>
        <translation>Tawayu karuta game</translation>
    </message>
    <message>
        <location line="-194"/>
        <source>上の句</source>
        <translation>上の句</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>第</source>
        <translation>第</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>問</source>
        <translation>問</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>おてつき</source>
        <translation>おてつき</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>回</source>
        <translation>回</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>札%1（キー %1）</source>
        <translation>Card %1 (key %1)</translation>
    </message>
    <message>
        <location line="+57"/>
        <location line="+2"/>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>終了</source>
        <translation>End</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>システム</source>
        <translation>System</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>開始(&amp;B)</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>終了(&amp;G)</source>
        <translation>&amp;End</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>ゲームリセット(&amp;R)</source>
        <translation>&amp;Reset the game</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>空き</source>
        <translation>empty</translation>
    </message>
    <message>
        <location line="+13"/>
        <source> — 練習: </source>
        <translation> — practice: </translation>
    </message>
    <message>
        <location line="+38"/>
        <source>第%1問</source>
        <translation>Question %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>お手つき %1回</source>
        <translation>%1 faults</translation>
    </message>
</context>
<context>
    <name>nupew::HelpWindow</name>
    <message>
        <location filename="../src/ui/viewers/help_window.cpp" line="+16"/>
        <location line="+25"/>
        <source>タワユ ヘルプ</source>
        <translation>Tawayu help</translation>
    </message>
    <message>
        <location line="-15"/>
        <source>← 戻る</source>
        <translation>← Back</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>進む →</source>
        <translation>Forward →</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>目次</source>
        <translation>Contents</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>      タワユかるたとりゲーム
              「&#x3000;ぬ&#x3000;ぺ&#x3000;」
                 Ver. %1
      作: Nupew プロジェクト (MIT ライセンス)</source>
        <translation>      Tawayu karuta game
              &quot;Nupew&quot;
                 Ver. %1
      By the Nupew project (MIT licence)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source> バージョン情報</source>
        <translation> About</translation>
    </message>
</context>
<context>
    <name>nupew::MainWindow</name>
    <message>
        <location filename="../src/ui/shell/main_window.cpp" line="+46"/>
        <source>ゲーム(&amp;S)</source>
        <translation>&amp;Game</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ゲーム開始(&amp;B)</source>
        <translation>&amp;Begin a game</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>ゲーム開始</source>
        <translation>Begin a game</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>競技（一人対戦）(&amp;M)...</source>
        <translation>&amp;Match (one player)...</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>競技（一人対戦）</source>
        <translation>Match (one player)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ゲーム終了(&amp;E)</source>
        <translation>&amp;End the game</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>ゲーム終了</source>
        <translation>End the game</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>終了(&amp;Q)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>表示設定(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>上の句(&amp;U)</source>
        <translation>&amp;Upper verse</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+4"/>
        <source>漢字(&amp;K)</source>
        <translation>&amp;Kanji</translation>
    </message>
    <message>
        <location line="-3"/>
        <location line="+4"/>
        <source>かな(&amp;H)</source>
        <translation>&amp;Kana</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>下の句(&amp;D)</source>
        <translation>&amp;Lower verse</translation>
    </message>
    <message>
        <location filename="../src/ui/shell/options.h" line="+35"/>
        <source>決まり字を表示(&amp;K)</source>
        <translation>Show &amp;decisive characters</translation>
    </message>
    <message>
        <location filename="../src/ui/shell/main_window.cpp" line="+4"/>
        <source>読み上げ(&amp;Y)</source>
        <translation>&amp;Reading aloud</translation>
    </message>
    <message>
        <location filename="../src/ui/shell/options.h" line="+1"/>
        <source>読み上げる(&amp;R)</source>
        <translation>&amp;Read aloud</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>競技の読み方(&amp;C)</source>
        <translation>&amp;Competition style</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>下の句も読む(&amp;L)</source>
        <translation>Read the &amp;lower verse too</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ゲームの始めに序歌を読む(&amp;J)</source>
        <translation>Read the &amp;opening poem at a game&apos;s start</translation>
    </message>
    <message>
        <location filename="../src/ui/shell/main_window.cpp" line="+1"/>
        <source>特別設定(&amp;T)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>問題数(&amp;M)</source>
        <translation>&amp;Questions</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&#x3000; ５(&amp;A)</source>
        <translation>&amp;5</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&#x3000;１０(&amp;B)</source>
        <translation>&amp;10</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&#x3000;２０(&amp;C)</source>
        <translation>&amp;20</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&#x3000;５０(&amp;D)</source>
        <translation>&amp;50</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>１００(&amp;E)</source>
        <translation>100 (&amp;E)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>上の句表示速度(&amp;S)</source>
        <translation>Upper verse &amp;speed</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>速い(&amp;A)</source>
        <translation>&amp;Fast</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>やや速い(&amp;B)</source>
        <translation>Fairly f&amp;ast</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>普通(&amp;C)</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ややゆっくり(&amp;D)</source>
        <translation>Fairly s&amp;low</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ゆっくり(&amp;E)</source>
        <translation>&amp;Slow</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>おてつき限度数(&amp;O)</source>
        <translation>&amp;Fault limit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&#x3000;１(&amp;A)</source>
        <translation>&amp;1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&#x3000;５(&amp;B)</source>
        <translation>&amp;5</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>１０(&amp;C)</source>
        <translation>1&amp;0</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>２０(&amp;D)</source>
        <translation>&amp;20</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>なし(&amp;E)</source>
        <translation>&amp;None</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>出題範囲(&amp;P)...</source>
        <translation>&amp;Practice...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>設定の保存(&amp;k)</source>
        <translation>Sa&amp;ve settings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>初期設定に戻す(&amp;R)</source>
        <translation>&amp;Restore defaults</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>記録(&amp;D)</source>
        <translation>&amp;Records</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>記録を見る(&amp;V)</source>
        <translation>&amp;View records</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>成績表示</source>
        <translation>View records</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>初期化(&amp;R)</source>
        <translation>&amp;Reset</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>成績初期化</source>
        <translation>Reset records</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>記録印刷</source>
        <translation>Print records</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>成績の分析(&amp;A)</source>
        <translation>&amp;Analysis</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>成績の分析</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>オプション(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ﾃﾞｰﾀ（歌）読み出しﾌｫﾙﾀﾞの設定(&amp;F)</source>
        <translation>Picture &amp;folder...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ツールバーの表示(&amp;V)</source>
        <translation>Show the &amp;toolbar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ツールバーの変更(&amp;T)</source>
        <translation>&amp;Customise the toolbar...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>タワユ一覧(&amp;S)</source>
        <translation>&amp;Poem list</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>タワユ一覧</source>
        <translation>Poem list</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>目次(&amp;C)</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ヘルプの使い方(&amp;H)</source>
        <translation>Using &amp;help</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>バージョン情報(&amp;V)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <location line="+110"/>
        <source>ツールバー</source>
        <translation>Toolbar</translation>
    </message>
</context>
<context>
    <name>nupew::MatchWindow</name>
    <message>
        <location filename="../src/ui/match/match_window.cpp" line="+51"/>
        <source>自陣</source>
        <translation>your territory</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>敵陣</source>
        <translation>the opponent&apos;s territory</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>自分</source>
        <translation>You</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+353"/>
        <source>相手</source>
        <translation>The opponent</translation>
    </message>
    <message>
        <location line="-335"/>
        <source>競技の畳</source>
        <translation>The mat</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>矢印キーで札を選び、Enter で取ります。</source>
        <translation>Choose a card with the arrow keys, take it with Enter.</translation>
    </message>
    <message>
        <location line="+261"/>
        <source>上段</source>
        <translation>upper row</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>中段</source>
        <translation>middle row</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>下段</source>
        <translation>lower row</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 %2 %3枚目: %4</source>
        <translation>%1, %2, card %3: %4</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>競技（一人対戦）</source>
        <translation>Match (one player)</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>一人取り</source>
        <translation>Solo (no opponent)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>一定の相手</source>
        <translation>Steady opponent</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>相手: %1</source>
        <translation>Opponent: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>自分と対戦</source>
        <translation>Against yourself</translation>
    </message>
    <message>
        <location line="+8"/>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>決まり字から相手が取るまで</source>
        <translation>The opponent&apos;s time after the decisive sound</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>ランダムに並べる</source>
        <translation>Random layout</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>初心者向けに並べる</source>
        <translation>Beginner&apos;s layout</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>並べ方</source>
        <translation>Layout</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>暗記 %1 分</source>
        <translation>Memorise %1 min</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>暗記時間</source>
        <translation>Memorisation time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>決まり字を表示</source>
        <translation>Show decisive characters</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>履歴に回答がまだありません</source>
        <translation>No answers in the history yet</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>暗記終了・読み始める</source>
        <translation>End memorisation, start reading</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+475"/>
        <source>一時停止 (Space)</source>
        <translation>Pause (Space)</translation>
    </message>
    <message>
        <location line="-468"/>
        <source>競技をやめる</source>
        <translation>Quit the match</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>上の句</source>
        <translation>Upper verse</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>お知らせ</source>
        <translation>Message</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+16"/>
        <source>決まり字の変化</source>
        <translation>Decisive characters changed</translation>
    </message>
    <message>
        <location line="+87"/>
        <source>札の位置を覚えてください。自陣の札はドラッグで動かせます。</source>
        <translation>Memorise where the cards are. Drag your own cards to move them.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>自分と対戦には履歴の回答が要ります。相手は札に触れません。</source>
        <translation>Playing against yourself needs answers in the history. The opponent does not touch the cards.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>暗記時間 残り %1:%2</source>
        <translation>Memorisation: %1:%2 left</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>暗記時間終了。序歌を読みます。</source>
        <translation>Memorisation over. The opening poem is read.</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>相手は履歴にあるあなたの反応時間で取ります</source>
        <translation>The opponent takes in your own reaction times from the history</translation>
    </message>
    <message>
        <location line="+68"/>
        <source>この歌は文字だけで表示します。</source>
        <translation>This poem is shown as text only.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>この歌は文字だけで表示します（%1）。</source>
        <translation>This poem is shown as text only (%1).</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>送る札は自陣から選んでください。</source>
        <translation>Choose the card to send from your own territory.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1番「%2」</source>
        <translation>poem %1 &quot;%2&quot;</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>%1が取りました（%2）: %3</source>
        <translation>%1 took (%2): %3</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&#x3000;%1 秒</source>
        <translation>, %1 s</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>お手つき（%1）: 空札で%2に触れました</source>
        <translation>Fault (%1): touched %2 when no card was read on the mat</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>お手つき（%1）: 出札のない%2に触れました</source>
        <translation>Fault (%1): touched %2, where the read card is not</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>送る札を自陣から選んでください（%1 秒で決まり字の長い札を送ります）</source>
        <translation>Choose a card of yours to send (after %1 s the one with the longest decisive characters goes)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>送り札: %1</source>
        <translation>You sent: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>相手から送られた札: %1</source>
        <translation>The opponent sent you: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>読まれた歌: %1 %2%3</source>
        <translation>Read: %1 %2%3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>（空札）</source>
        <translation> (not on the mat)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1: %2 → %3</source>
        <translation>%1: %2 → %3</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>百首を読み終わりました。</source>
        <translation>All hundred poems have been read.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>あなたの勝ちです。</source>
        <translation>You won.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>相手の勝ちです。</source>
        <translation>The opponent won.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>序歌&#x3000;</source>
        <translation>Opening poem: </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>自陣 %1枚&#x3000;敵陣 %2枚
読まれた歌 %3／100
お手つき 自分 %4・相手 %5</source>
        <translation>Your cards %1, opponent&apos;s %2
Poems read %3/100
Faults: you %4, opponent %5</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>読みを再開しました。</source>
        <translation>Reading resumed.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>再開 (Space)</source>
        <translation>Resume (Space)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>読みを止めました。Space で再開します。</source>
        <translation>Reading paused. Space resumes it.</translation>
    </message>
</context>
<context>
    <name>nupew::PictureViewer</name>
    <message>
        <location filename="../src/ui/viewers/picture_viewer.cpp" line="+46"/>
        <source>歌について</source>
        <translation>The poem</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>歌ファイルがありません</source>
        <translation>There is no picture of the poem</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>U画像</source>
        <translation>Poem picture</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>ポップアップメニュー</source>
        <translation>Popup menu</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>作者について</source>
        <translation>The poet</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>作者ファイルがありません</source>
        <translation>There is no picture of the poet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A画像</source>
        <translation>Poet picture</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>ボップアップメニュー</source>
        <translation>Popup menu</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>終了</source>
        <translation>End</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>終了(&amp;E)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>%1 は大きすぎます（%2 MiB、上限 %3 MiB）</source>
        <translation>%1 is too large (%2 MiB, at most %3 MiB)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1 を読めません（%2）</source>
        <translation>%1 cannot be read (%2)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>ありません</source>
        <translation>it is not there</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>大きすぎます</source>
        <translation>too large</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1 は画素が多すぎます（%2×%3）</source>
        <translation>%1 has too many pixels (%2×%3)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 は壊れているか、画像ではありません（%2）</source>
        <translation>%1 is damaged or not a picture (%2)</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>%1 を使えません（%2）</source>
        <translation>%1 cannot be used (%2)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>読み取り禁止です</source>
        <translation>reading is not allowed</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>ファイルがありません</source>
        <translation>There is no file</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>画像</source>
        <translation>Picture</translation>
    </message>
</context>
<context>
    <name>nupew::PoemListWindow</name>
    <message>
        <location filename="../src/ui/viewers/poem_list_window.cpp" line="+28"/>
        <source>タワユ一覧</source>
        <translation>Poem list</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>終&#x3000;了</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>ichirun.txtがありません。</source>
        <translation>ichirun.txt is missing.</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>ichirun.txtがありません。<byte value="xd"/>
%1 を読めません: %2</source>
        <translation>ichirun.txt is missing.</translation>
    </message>
</context>
<context>
    <name>nupew::PoemStatisticsModel</name>
    <message>
        <location filename="../src/history/statistics.cpp" line="+18"/>
        <source>番号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>上の句</source>
        <translation>Upper verse</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>決まり字</source>
        <translation>Decisive</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>回数</source>
        <translation>Taken</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>平均タイム</source>
        <translation>Average</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最速タイム</source>
        <translation>Fastest</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均反応</source>
        <translation>Reaction</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>当て推量</source>
        <translation>Guesses</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>お手つき</source>
        <translation>Faults</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最終回答</source>
        <translation>Last answer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>次の出題</source>
        <translation>Next review</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>記憶</source>
        <translation>Recall</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>歌の番号 (1〜100)</source>
        <translation>The poem&apos;s number (1 to 100)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>上の句の初めの句 (読みの50音順に並びます)</source>
        <translation>The first phrase of the upper verse (sorted by its reading)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>聞こえる決まり字 (かなの表記はセルのヒントに)</source>
        <translation>The decisive characters as heard (the kana spelling in the cell&apos;s tip)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>正しい札を取った回数</source>
        <translation>How often the right card was taken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>読み始めから正しい札を取るまでの平均 (秒)</source>
        <translation>Average time from the start of the reading to the right card (s)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>いちばん速く取ったタイム (秒)</source>
        <translation>The fastest take (s)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>決まり字が出てから取るまでの平均 (秒)。当て推量は含みません</source>
        <translation>Average time from the decisive characters to the take (s), guesses left out</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>決まり字が出る前に取った回数 (当て推量)</source>
        <translation>Takes before the decisive characters (guesses)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>この歌で間違えた札の数</source>
        <translation>Wrong cards picked for this poem</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最後に答えた日時</source>
        <translation>When it was last answered</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>苦手な歌の練習で次に出す日時 (「今」: もう出す日が来ています)</source>
        <translation>When the drill asks this poem next (&quot;now&quot;: it is due)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>いま思い出せる見込み (FSRS による予測)</source>
        <translation>The chance of recalling it now (as FSRS predicts)</translation>
    </message>
</context>
<context>
    <name>nupew::PracticeDialog</name>
    <message>
        <location filename="../src/ui/board/practice_dialog.cpp" line="+37"/>
        <source>出題範囲</source>
        <translation>Practice</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>全百首 (ふつうのゲーム。成績優秀者の表に登録できます)</source>
        <translation>All hundred poems (the usual game; results may enter the table of the best)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>歌番号で選ぶ</source>
        <translation>By poem number</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>五色百人一首の色で選ぶ</source>
        <translation>By the colours of the five-colour sets</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>決まり字の数で選ぶ</source>
        <translation>By the number of decisive characters</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>苦手な歌の練習 (答えの記録から、覚えていない歌を先に出します)</source>
        <translation>Drill the weak poems (from your answers, the poems you do not know yet come first)</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>範囲指定</source>
        <translation>From–to</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>番から</source>
        <translation>from</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>番まで</source>
        <translation>to</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>一字決まり</source>
        <translation>1 character</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>二字決まり</source>
        <translation>2 characters</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>三字決まり</source>
        <translation>3 characters</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>四字決まり</source>
        <translation>4 characters</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>五字決まり</source>
        <translation>5 characters</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>六字決まり</source>
        <translation>6 characters</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>最初の音ごと</source>
        <translation>by first sound</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>むすめふさほせ、うつしもゆ、いちひき…: 最初の音が同じ歌をまとめて</source>
        <translation>mu su me fu sa ho se, u tsu shi mo yu, i chi hi ki…: poems sharing their first sound together</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>歌番号の順</source>
        <translation>by number</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ばらばら</source>
        <translation>at random</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>新しい歌は1日</source>
        <translation>New poems: at most</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>首まで、</source>
        <translation>a day,</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>の順に</source>
        <translation>order</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>百首から出題します。</source>
        <translation>Questions come from all hundred poems.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>次に出す日が来た歌を、忘れていそうな歌から先に出し、そのあとで新しい歌を出します。答えるたびに次に出す日が決まります: おてつきは10分後にもう一度、決まり字から%1秒未満は「かんたん」、%2秒までは「ふつう」、それより遅いと「むずかしい」。練習の成績は成績優秀者の表に登録されません。</source>
        <translation>Asks the poems that are due first, those most likely forgotten first, then new poems. Each answer sets when a poem comes next: a fault brings it back in 10 minutes; under %1 s after the decisive characters is &quot;easy&quot;, up to %2 s &quot;good&quot;, slower &quot;hard&quot;. Practice results are not entered in the top-ten table.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>この範囲の歌: %1首。練習の成績は成績優秀者の表に登録されません。</source>
        <translation>Poems chosen: %1. Practice results do not enter the table of the best.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>問題数 (%1問) より少ないので、%2首を一度ずつ出したところでゲームが終わります。</source>
        <translation>Fewer than the questions (%1): the game ends once each of the %2 poems was asked.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>札の数より少ないので、ほかの札は百首から配ります。</source>
        <translation>Fewer than the cards: the other cards are dealt from all hundred poems.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>歌がひとつも選ばれていません。</source>
        <translation>No poem is chosen.</translation>
    </message>
</context>
<context>
    <name>nupew::PracticeEndBox</name>
    <message>
        <location filename="../src/ui/board/practice_end_box.cpp" line="+18"/>
        <source>練習の結果</source>
        <translation>Practice result</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>練習: %1</source>
        <translation>Practice: %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>平均タイム (秒)</source>
        <translation>Average time (s)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均反応時間 (秒)</source>
        <translation>Average reaction (s)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>おてつき</source>
        <translation>Faults</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>まちがえた歌も遅かった歌もありません。</source>
        <translation>No poem missed and none slow.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>もう一度見ておきたい歌: %1</source>
        <translation>Poems to look at again: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>練習の成績は成績優秀者の表に登録されません。</source>
        <translation>Practice results do not enter the table of the best.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>もう一度(&amp;A)</source>
        <translation>&amp;Again</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>終了(&amp;E)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>歌の絵(&amp;U)</source>
        <translation>Poem &amp;picture</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>作者の絵(&amp;P)</source>
        <translation>P&amp;oet picture</translation>
    </message>
</context>
<context>
    <name>nupew::Program</name>
    <message>
        <location filename="../src/ui/shell/program.cpp" line="+110"/>
        <source>履歴ファイル %1 に書き込めません。履歴なしでゲームを続けます。
理由: %2</source>
        <translation>The history file %1 cannot be written. The game goes on without a history.
Reason: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>履歴ファイル %1 に今は書き込めません。答えは覚えておき、書き込めるようになりしだい書きます。
理由: %2</source>
        <translation>The history file %1 cannot be written now. The answers are kept and written as soon as it can be.
Reason: %2</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>音声の出力先を確かめています</source>
        <translation>Looking for a sound output</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>履歴ファイル %1 を使えません。履歴なしでゲームを続けます。
%2</source>
        <translation>The history file %1 cannot be used. The game goes on without a history.
%2</translation>
    </message>
    <message>
        <location line="+127"/>
        <source>履歴に回答がまだありません</source>
        <translation>No answers in the history yet</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>「タワユWin」を終了します</source>
        <translation>Quit the game</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>読み上げの準備中 %1/%2</source>
        <translation>Preparing the reading %1/%2</translation>
    </message>
</context>
<context>
    <name>nupew::RecordEntryBox</name>
    <message>
        <location filename="../src/ui/records/record_entry_box.cpp" line="+18"/>
        <source>記録ボックス</source>
        <translation>Record</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>おめでとうございます</source>
        <translation>Congratulations</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>あなたの成績</source>
        <translation>Your result</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>平 均 時 間</source>
        <translation>Average time</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>秒です。</source>
        <translation>seconds.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>お手つき回数</source>
        <translation>Faults</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>回です。</source>
        <translation>times.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>氏&#x3000;名</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>記録する</source>
        <translation>Register</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>記録しない</source>
        <translation>Do not register</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>ポップアップ</source>
        <translation>Popup</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>記録する(&amp;Y)</source>
        <translation>&amp;Register</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>記録しない(&amp;N)</source>
        <translation>&amp;Do not register</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>歌の絵を見る(&amp;U)</source>
        <translation>See the &amp;poem&apos;s picture</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>作者の絵を見る(&amp;A)</source>
        <translation>See the p&amp;oet&apos;s picture</translation>
    </message>
</context>
<context>
    <name>nupew::RecordsWindow</name>
    <message>
        <location filename="../src/ui/records/records_window.cpp" line="+32"/>
        <source>成績優秀者</source>
        <translation>Best results</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>タワユかるたとりゲーム 成績優秀者</source>
        <translation>Tawayu karuta game: best results</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>氏&#x3000;&#x3000;名</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>お手つき数</source>
        <translation>Faults</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>平均タイム（秒)</source>
        <translation>Average (s)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>日&#x3000;&#x3000;付</source>
        <translation>Date</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>初期化</source>
        <translation>Reset</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>ポップアップ３</source>
        <translation>Popup</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>閉じる(&amp;E)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>初期化(&amp;R)</source>
        <translation>&amp;Reset</translation>
    </message>
</context>
<context>
    <name>nupew::SideWindows</name>
    <message>
        <location filename="../src/ui/shell/side_windows.cpp" line="+85"/>
        <source>記録の印刷ができません。</source>
        <translation>The records cannot be printed.</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>苦手な歌の練習の予定を履歴から読めません。
理由: %1</source>
        <translation>The drill&apos;s schedule cannot be read from the history.
Reason: %1</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1 に書き出せませんでした。
%2</source>
        <translation>%1 could not be written.
%2</translation>
    </message>
</context>
<context>
    <name>nupew::StatisticsWindow</name>
    <message>
        <location filename="../src/ui/statistics/statistics_window.cpp" line="+60"/>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>成績の分析</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>ゲームごとの平均タイムと平均反応時間</source>
        <translation>Average time and reaction by game</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>決まり字の数と平均反応時間</source>
        <translation>Average reaction by number of decisive characters</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>苦手な歌の練習: 今日から2週間の出題</source>
        <translation>Drill: poems due in the next two weeks</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>CSVに書き出す(&amp;E)...</source>
        <translation>&amp;Export CSV...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>閉じる(&amp;X)</source>
        <translation>Close (&amp;X)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>すべての回答</source>
        <translation>All answers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文字で表示した回答</source>
        <translation>Answers shown as text</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>読み上げた回答</source>
        <translation>Answers read aloud</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>表に数える回答</source>
        <translation>Answers counted in the table</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>試合ごとの札の差 (相手の残り札 − 自分の残り札)</source>
        <translation>Card difference by match (the opponent's cards left − yours)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>札の場所・決まり字</source>
        <translation>Where the card lay, decisive characters</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>読まれた札</source>
        <translation>Cards read</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>取った割合</source>
        <translation>Taken</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>歌とゲーム</source>
        <translation>Poems and games</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>競技</source>
        <translation>Matches</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1番 %2回</source>
        <translation>no. %1 %2 times</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>競技の記録はまだありません。</source>
        <translation>No matches played yet.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>試合 %1 回: 勝ち %2・負け %3・途中で終えた試合 %4。お手つき: 出札のない陣 %5 回、空札 %6 回。</source>
        <translation>%1 matches: %2 won, %3 lost, %4 left unfinished. Faults: %5 in the territory without the card, %6 on an empty card.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>
相手によく取られた自陣の札: %1</source>
        <translation>
Your cards the opponent took most often: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>自陣</source>
        <translation>Your territory</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>敵陣</source>
        <translation>The opponent&apos;s territory</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>上段</source>
        <translation>Upper row</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>中段</source>
        <translation>Middle row</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>下段</source>
        <translation>Lower row</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>いまの決まり字 %1 字</source>
        <translation>Current decisive characters: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>試合中に決まり字が短くなった札</source>
        <translation>Cards whose decisive characters shrank during the match</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>勝ち</source>
        <translation>Won</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>負け・途中</source>
        <translation>Lost or unfinished</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>試合</source>
        <translation>Match</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>記録された回答 %1 件、ゲーム %2 回。</source>
        <translation>%1 answers recorded, %2 games.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>出す歌</source>
        <translation>Due</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>苦手な歌の練習: %1 (今日) から %2 までの出題</source>
        <translation>Drill: poems due from %1 (today) to %2</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>いま出す歌 %1首、明日 %2首。新しい歌: 今日はあと%3首 (まだ出していない歌 %4首)。</source>
        <translation>Due now: %1, tomorrow: %2. New poems: %3 more today (%4 never asked).</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>
忘れていそうな歌: %1</source>
        <translation>
Most likely forgotten: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>平均タイム</source>
        <translation>Average</translation>
    </message>
    <message>
        <location line="-204"/>
        <location line="+207"/>
        <location line="+112"/>
        <source>平均反応時間</source>
        <translation>Average reaction</translation>
    </message>
    <message>
        <location line="-323"/>
        <source>試合ごとの札の差。試合の数と勝ち負けは上の文に、取りの数字は左の表にあります。</source>
        <translation>Card difference by match. The count of matches won and lost is in the text above, the takes in the table on the left.</translation>
    </message>
    <message>
        <location line="+215"/>
        <source>平均反応時間（読み上げ）</source>
        <translation>Average reaction (read aloud)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>途中で終えたゲーム</source>
        <translation>Games ended early</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>%1局目&#x3000;%2
%3: %4 秒</source>
        <translation>Game %1  %2
%3: %4 s</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>ゲーム（遊んだ順）</source>
        <translation>Games (in the order played)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ゲーム（遊んだ順、日ごとの平均）</source>
        <translation>Games (in the order played, averaged by day)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ゲーム（遊んだ順、週ごとの平均）</source>
        <translation>Games (in the order played, averaged by week)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ゲーム（遊んだ順、月ごとの平均）</source>
        <translation>Games (in the order played, averaged by month)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ゲーム（遊んだ順、同じ数ずつの平均）</source>
        <translation>Games (in the order played, averaged in equal groups)</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>%1字</source>
        <translation>%1</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>CSVに書き出す</source>
        <translation>Export CSV</translation>
    </message>
</context>
<context>
    <name>nupew::TitleScreen</name>
    <message>
        <location filename="../src/ui/shell/title_screen.cpp" line="+30"/>
        <source>タワユかるたとりゲーム</source>
        <translation>Tawayu karuta game</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>小倉百人一首の練習に</source>
        <translation>For practising the Hundred Poems</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Nupew プロジェクト</source>
        <translation>The Nupew project</translation>
    </message>
</context>
<context>
    <name>nupew::ToolbarDialog</name>
    <message>
        <location filename="../src/ui/shell/toolbar_dialog.cpp" line="+23"/>
        <source>――― 区切り ―――</source>
        <translation>――― separator ―――</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>ツールバーのカスタマイズ</source>
        <translation>Customise the toolbar</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>利用できるボタン(&amp;V):</source>
        <translation>A&amp;vailable buttons:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ツールバーのボタン(&amp;T):</source>
        <translation>&amp;Toolbar buttons:</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>追加(&amp;A) →</source>
        <translation>&amp;Add →</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>← 削除(&amp;R)</source>
        <translation>← &amp;Remove</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>上へ移動(&amp;U)</source>
        <translation>Move &amp;up</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>下へ移動(&amp;D)</source>
        <translation>Move &amp;down</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>リセット(&amp;S)</source>
        <translation>Re&amp;set</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>nupew::match::Match</name>
    <message>
        <location filename="../src/core/match.cpp" line="+178"/>
        <source>一人取り</source>
        <translation>Solo (no opponent)</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>一定の相手 (%1 秒)</source>
        <translation>Steady opponent (%1 s)</translation>
    </message>
    <message>
        <location filename="../src/core/opponents.cpp" line="+142"/>
        <source>自分と対戦</source>
        <translation>Against yourself</translation>
    </message>
    <message>
        <location filename="../src/core/opponents.h" line="+32"/>
        <source>入門</source>
        <translation>Beginner</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>初級</source>
        <translation>Novice</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>中級</source>
        <translation>Intermediate</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>上級</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>名人</source>
        <translation>Expert</translation>
    </message>
</context>
</TS>
