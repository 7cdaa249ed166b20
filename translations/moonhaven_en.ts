<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>RuleKomiFields</name>
    <message>
        <source>中国规则</source>
        <translation>Chinese rules</translation>
    </message>
    <message>
        <source>日本规则</source>
        <translation>Japanese rules</translation>
    </message>
    <message>
        <source>贴目数:</source>
        <translation>Komi (points):</translation>
    </message>
    <message>
        <source>贴子数:</source>
        <translation>Komi (stones):</translation>
    </message>
</context>
<context>
    <name>mh::AboutDialog</name>
    <message>
        <source>关于Moonhaven(Stonelark)</source>
        <translation>About Moonhaven(Stonelark)</translation>
    </message>
    <message>
        <source>Moonhaven(Stonelark) 2.2 版</source>
        <translation>Moonhaven(Stonelark) version 2.2</translation>
    </message>
    <message>
        <source>围棋学习助手: 九个棋室, 来自棋谱库的提示, 与 GNU Go 对弈.</source>
        <translation>A study companion for Go: nine rooms, hints from your own game records, games against GNU Go.</translation>
    </message>
</context>
<context>
    <name>mh::CMainFrame</name>
    <message>
        <source>选择全局库: </source>
        <translation>Global library: </translation>
    </message>
    <message>
        <source>对局信息</source>
        <translation>Game Information</translation>
    </message>
    <message>
        <source>最多只能打开九个棋室, 这些棋谱没有打开:</source>
        <translation>At most nine rooms can be open. These records were not opened:</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>棋室信息</source>
        <translation>Rooms</translation>
    </message>
    <message>
        <source>无法写入文件 %1</source>
        <translation>Cannot write the file %1</translation>
    </message>
    <message>
        <source>语言的设置将会在程序重启的时候有效.</source>
        <translation>The language setting takes effect when the program restarts.</translation>
    </message>
    <message>
        <source>找不到帮助文件 %1</source>
        <translation>Cannot find the help file %1</translation>
    </message>
    <message>
        <source>反馈 Moonhaven 2.2</source>
        <translation>Feedback Moonhaven 2.2</translation>
    </message>
    <message>
        <source>正在更新自定义棋谱库索引...</source>
        <translation>Updating the custom record library index...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>自定义棋谱总数: </source>
        <translation>Records in the custom library: </translation>
    </message>
</context>
<context>
    <name>mh::FrameCommands</name>
    <message>
        <source>新建棋室(&amp;N)</source>
        <translation>&amp;New Room</translation>
    </message>
    <message>
        <source>打开棋谱(&amp;O)...</source>
        <translation>&amp;Open Record...</translation>
    </message>
    <message>
        <source>从棋谱库中打开(&amp;D)...</source>
        <translation>Open from Recor&amp;d Library...</translation>
    </message>
    <message>
        <source>保存棋谱(&amp;S)</source>
        <translation>&amp;Save Record</translation>
    </message>
    <message>
        <source>另存棋谱为(&amp;A)...</source>
        <translation>Save Record &amp;As...</translation>
    </message>
    <message>
        <source>导出到缺省sgf文件(&amp;E)</source>
        <translation>&amp;Export to default.sgf</translation>
    </message>
    <message>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close Room</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>对局信息(&amp;G)</source>
        <translation>&amp;Game Information</translation>
    </message>
    <message>
        <source>棋室信息(&amp;R)</source>
        <translation>&amp;Rooms Bar</translation>
    </message>
    <message>
        <source>中文(&amp;C)</source>
        <translation>&amp;Chinese</translation>
    </message>
    <message>
        <source>英文(&amp;E)</source>
        <translation>&amp;English</translation>
    </message>
    <message>
        <source>保持窗体在最前面(&amp;K)</source>
        <translation>&amp;Keep Window on Top</translation>
    </message>
    <message>
        <source>开始新局(&amp;N)</source>
        <translation>&amp;New Game</translation>
    </message>
    <message>
        <source>结束(&amp;E)</source>
        <translation>&amp;End Game</translation>
    </message>
    <message>
        <source>停一手(&amp;P)</source>
        <translation>&amp;Pass</translation>
    </message>
    <message>
        <source>棋盘XY交换(&amp;X)</source>
        <translation>Swap Board &amp;X and Y</translation>
    </message>
    <message>
        <source>水平翻转(&amp;H)</source>
        <translation>Flip &amp;Horizontally</translation>
    </message>
    <message>
        <source>垂直翻转(&amp;V)</source>
        <translation>Flip &amp;Vertically</translation>
    </message>
    <message>
        <source>设置(&amp;S)</source>
        <translation>&amp;Settings...</translation>
    </message>
    <message>
        <source>对弈(&amp;Y)</source>
        <translation>Pla&amp;y...</translation>
    </message>
    <message>
        <source>标记死子(&amp;D)</source>
        <translation>Mark &amp;Dead Stones</translation>
    </message>
    <message>
        <source>点算胜负(&amp;C)</source>
        <translation>&amp;Count the Game</translation>
    </message>
    <message>
        <source>规则(&amp;R)</source>
        <translation>&amp;Rules...</translation>
    </message>
    <message>
        <source>更新自定义棋谱库索引(&amp;U)</source>
        <translation>&amp;Update Custom Library Index</translation>
    </message>
    <message>
        <source>全局模式库管理(&amp;M)</source>
        <translation>Pattern Library &amp;Management...</translation>
    </message>
    <message>
        <source>显示手数</source>
        <translation>Show Move Numbers</translation>
    </message>
    <message>
        <source>查看标记详细信息(...)</source>
        <translation>Hint Details...</translation>
    </message>
    <message>
        <source>层叠(&amp;C)</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <source>水平平铺(&amp;T)</source>
        <translation>Tile &amp;Horizontally</translation>
    </message>
    <message>
        <source>垂直平铺(&amp;V)</source>
        <translation>Tile &amp;Vertically</translation>
    </message>
    <message>
        <source>排列图标(&amp;A)</source>
        <translation>&amp;Arrange Icons</translation>
    </message>
    <message>
        <source>关闭所有窗口(&amp;L)</source>
        <translation>C&amp;lose All Rooms</translation>
    </message>
    <message>
        <source>帮助主题(&amp;H)</source>
        <translation>&amp;Help Topics</translation>
    </message>
    <message>
        <source>访问主页(&amp;W)</source>
        <translation>Visit the &amp;Website</translation>
    </message>
    <message>
        <source>发送反馈邮件(&amp;M)</source>
        <translation>Send Feedback by E-&amp;mail</translation>
    </message>
    <message>
        <source>关于Moonhaven(Stonelark)(&amp;A)...</source>
        <translation>&amp;About Moonhaven(Stonelark)...</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>游戏(&amp;G)</source>
        <translation>&amp;Game</translation>
    </message>
    <message>
        <source>棋室(&amp;R)</source>
        <translation>&amp;Room</translation>
    </message>
    <message>
        <source>窗口(&amp;W)</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
</context>
<context>
    <name>mh::HintDetailsWindow</name>
    <message>
        <source>标记详细信息:</source>
        <translation>Hint Details</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>信息</source>
        <translation>Details</translation>
    </message>
</context>
<context>
    <name>mh::PatternLibraryDialog</name>
    <message>
        <source>正在创建index</source>
        <translation>Building the index</translation>
    </message>
    <message>
        <source>正在创建全局模式库, 
棋谱总数:%1, 
当前:%2</source>
        <translation>Building the global pattern library,
records: %1,
done: %2</translation>
    </message>
    <message>
        <source>正在创建局部模式库, 
棋谱总数:%1, 
当前:%2</source>
        <translation>Building the local pattern library,
records: %1,
done: %2</translation>
    </message>
    <message>
        <source>正在停止, 保存已完成的部分...</source>
        <translation>Stopping, saving the finished part...</translation>
    </message>
    <message>
        <source>已停止, 已完成的部分已保存</source>
        <translation>Stopped; the finished part is saved</translation>
    </message>
    <message>
        <source>全局模式库管理</source>
        <translation>Pattern Library Management</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>创建sgfs 索引</source>
        <translation>Build the record index</translation>
    </message>
    <message>
        <source>创建全局模式库</source>
        <translation>Build the global library</translation>
    </message>
    <message>
        <source>创建局部模式库</source>
        <translation>Build the local library</translation>
    </message>
    <message>
        <source>创建WPB数据</source>
        <translation>Build Pattern Base</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>标题:</source>
        <translation>Title:</translation>
    </message>
    <message>
        <source>棋谱路径:</source>
        <translation>Record folder:</translation>
    </message>
    <message>
        <source>文件名:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>全局模式库列表:</source>
        <translation>Pattern bases:</translation>
    </message>
    <message>
        <source>状态:</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>创建失败: %1</source>
        <translation>Build failed: %1</translation>
    </message>
    <message>
        <source>创建WPBs</source>
        <translation>Build Pattern Base</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>选择棋谱路径</source>
        <translation>Choose the Record Folder</translation>
    </message>
    <message>
        <source>添加...</source>
        <translation>Add...</translation>
    </message>
    <message>
        <source>移除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>移除模式库</source>
        <translation>Remove Pattern Base</translation>
    </message>
    <message>
        <source>从列表中移除模式库“%1”?</source>
        <translation>Remove the pattern base “%1” from the list?</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>同时删除它的索引和模式库文件</source>
        <translation>Also delete its index and library files</translation>
    </message>
    <message>
        <source>无法读取 %1, 它保持原样。</source>
        <translation>%1 cannot be read; it was left as it is.</translation>
    </message>
    <message>
        <source>无法写入 %1, 它保持原样。</source>
        <translation>%1 cannot be written; it was left as it was.</translation>
    </message>
    <message>
        <source>请填写标题: 一行, 不超过 %1 字节。</source>
        <translation>Give a title: one line of at most %1 bytes.</translation>
    </message>
    <message>
        <source>请选择棋谱路径 (完整路径, 一行)。</source>
        <translation>Choose the record folder (a full path on one line).</translation>
    </message>
    <message>
        <source>棋谱路径不存在: %1</source>
        <translation>The record folder does not exist: %1</translation>
    </message>
    <message>
        <source>棋谱路径中没有棋谱 (.sgf 或 .gib 文件): %1</source>
        <translation>The record folder holds no game record (.sgf or .gib file): %1</translation>
    </message>
    <message>
        <source>文件名不能为空, 不能含有 &quot;/&quot; 或控制字符, 首尾不能是空格, 不超过 %1 字节。</source>
        <translation>The file name must not be empty, must not hold &quot;/&quot; or control characters, must not begin or end with a blank, and must fit in %1 bytes.</translation>
    </message>
    <message>
        <source>另一个模式库已使用文件名 &quot;%1&quot;。</source>
        <translation>Another pattern base already has the file name &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>这个模式库正在创建, 不能移除。</source>
        <translation>This pattern base is being built; it cannot be removed now.</translation>
    </message>
    <message>
        <source>模式库已从列表中移除, 但以下文件未能删除:
%1</source>
        <translation>The pattern base was removed from the list, but these files could not be deleted:
%1</translation>
    </message>
    <message>
        <source>添加模式库</source>
        <translation>Add Pattern Base</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>mh::PlayDialog</name>
    <message>
        <source>游戏设置</source>
        <translation>Game Settings</translation>
    </message>
    <message>
        <source>规则:</source>
        <translation>Rules:</translation>
    </message>
    <message>
        <source>让子 (0,2-9)</source>
        <translation>Handicap (0, 2-9)</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>White</source>
        <translation>White</translation>
    </message>
    <message>
        <source>交换黑白双方</source>
        <translation>Swap Black and White</translation>
    </message>
</context>
<context>
    <name>mh::PlayerDialog</name>
    <message>
        <source>选择 棋手</source>
        <translation>Choose a Player</translation>
    </message>
    <message>
        <source>全部棋手</source>
        <translation>All players</translation>
    </message>
    <message>
        <source>著名职业棋手</source>
        <translation>Famous professionals</translation>
    </message>
    <message>
        <source>网络知名棋手</source>
        <translation>Well-known online players</translation>
    </message>
    <message>
        <source>著名业余棋手</source>
        <translation>Famous amateurs</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All games</translation>
    </message>
    <message>
        <source>执黑对局</source>
        <translation>Games as Black</translation>
    </message>
    <message>
        <source>执白对局</source>
        <translation>Games as White</translation>
    </message>
    <message>
        <source>选择 黑/白 对局: </source>
        <translation>Games: </translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>选择所有棋谱</source>
        <translation>All Records</translation>
    </message>
</context>
<context>
    <name>mh::PlayerPaneWidget</name>
    <message>
        <source>人</source>
        <translation>Human</translation>
    </message>
    <message>
        <source>GNU Go + Moonhaven助手</source>
        <translation>GNU Go + Moonhaven Assistant</translation>
    </message>
    <message>
        <source>使用 Moonhaven助手</source>
        <translation>Use the Moonhaven Assistant</translation>
    </message>
    <message>
        <source>GNU Go 程序:</source>
        <translation>GNU Go program:</translation>
    </message>
    <message>
        <source>等级:</source>
        <translation>Level:</translation>
    </message>
    <message>
        <source>棋手:</source>
        <translation>Player:</translation>
    </message>
    <message>
        <source>名字:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>GNU Go 程序</source>
        <translation>GNU Go Program</translation>
    </message>
</context>
<context>
    <name>mh::RecentFilesMenu</name>
    <message>
        <source>最近的棋谱</source>
        <translation>Recent Records</translation>
    </message>
</context>
<context>
    <name>mh::RecordFileDialog</name>
    <message>
        <source>打开棋谱</source>
        <translation>Open Record</translation>
    </message>
    <message>
        <source>All Go Files (*.sgf *.gib)</source>
        <translation>All Go Files (*.sgf *.gib)</translation>
    </message>
    <message>
        <source>sgf file (*.sgf)</source>
        <translation>SGF Files (*.sgf)</translation>
    </message>
    <message>
        <source>gib file (*.gib)</source>
        <translation>GIB Files (*.gib)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>All Files (*)</translation>
    </message>
    <message>
        <source>简体中文(GB)</source>
        <translation>Simple Chinese(GB)</translation>
    </message>
    <message>
        <source>繁体中文(BIG5)</source>
        <translation>Traditional Chinese(BIG5)</translation>
    </message>
    <message>
        <source>语言: </source>
        <translation>Language: </translation>
    </message>
</context>
<context>
    <name>mh::RecordLibraryModel</name>
    <message>
        <source>黑方</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>黑方级别</source>
        <translation>Black rank</translation>
    </message>
    <message>
        <source>白方</source>
        <translation>White</translation>
    </message>
    <message>
        <source>白方级别</source>
        <translation>White rank</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>文件名</source>
        <translation>File name</translation>
    </message>
</context>
<context>
    <name>mh::RecordLibraryWindow</name>
    <message>
        <source>棋谱库管理</source>
        <translation>Record Library</translation>
    </message>
    <message>
        <source>检索棋手</source>
        <translation>Find Player...</translation>
    </message>
    <message>
        <source>选择棋谱库:</source>
        <translation>Pattern base:</translation>
    </message>
</context>
<context>
    <name>mh::RoomBar</name>
    <message>
        <source>%1棋室</source>
        <translation>Room %1</translation>
    </message>
</context>
<context>
    <name>mh::RoomView</name>
    <message>
        <source>无名文件</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>无比赛信息</source>
        <translation>No game information</translation>
    </message>
    <message>
        <source>手数</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>黑</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>白</source>
        <translation>White</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>总</source>
        <translation>total</translation>
    </message>
    <message>
        <source>赢</source>
        <translation>won</translation>
    </message>
    <message>
        <source>输</source>
        <translation>lost</translation>
    </message>
    <message>
        <source>总手</source>
        <translation>Moves</translation>
    </message>
    <message>
        <source>东方不败</source>
        <translation>Invincible East</translation>
    </message>
    <message>
        <source>蜘蛛侠</source>
        <translation>Spider-Man</translation>
    </message>
    <message>
        <source>不认识的文件格式!</source>
        <translation>Unknown file format.</translation>
    </message>
    <message>
        <source>读sgf文件失败!</source>
        <translation>Could not read the SGF file.</translation>
    </message>
    <message>
        <source>sgf ---&gt; qipu失败!</source>
        <translation>Could not turn the SGF file into a game record.</translation>
    </message>
    <message>
        <source>读gib文件失败!</source>
        <translation>Could not read the GIB file.</translation>
    </message>
    <message>
        <source>gib ---&gt; qipu失败!</source>
        <translation>Could not turn the GIB file into a game record.</translation>
    </message>
    <message>
        <source>另存棋谱为</source>
        <translation>Save Record As</translation>
    </message>
    <message>
        <source>sgf file (*.sgf)</source>
        <translation>SGF Files (*.sgf)</translation>
    </message>
    <message>
        <source>保存棋谱失败!</source>
        <translation>Could not save the record.</translation>
    </message>
    <message>
        <source>导出成功!</source>
        <translation>Exported.</translation>
    </message>
    <message>
        <source>导出失败!</source>
        <translation>Export failed.</translation>
    </message>
    <message>
        <source>游戏结束!</source>
        <translation>Game over.</translation>
    </message>
    <message>
        <source>GNU Go 程序 &quot;%1&quot; 无法运行或已退出, 游戏结束!</source>
        <translation>The GNU Go program &quot;%1&quot; could not be started or has quit. Game over.</translation>
    </message>
    <message>
        <source>%1棋室</source>
        <translation>Room %1</translation>
    </message>
    <message>
        <source>贴子</source>
        <translation>komi</translation>
    </message>
    <message>
        <source>让子</source>
        <translation>handicap</translation>
    </message>
    <message>
        <source>黑胜</source>
        <translation>Black wins</translation>
    </message>
    <message>
        <source>白胜</source>
        <translation>White wins</translation>
    </message>
    <message>
        <source>平局</source>
        <translation>Draw</translation>
    </message>
    <message>
        <source>子</source>
        <translation>stones</translation>
    </message>
    <message>
        <source>黑方</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>白方</source>
        <translation>White</translation>
    </message>
    <message>
        <source>空</source>
        <translation>territory</translation>
    </message>
    <message>
        <source>白子</source>
        <translation>prisoners</translation>
    </message>
    <message>
        <source>黑子</source>
        <translation>prisoners</translation>
    </message>
    <message>
        <source>贴目</source>
        <translation>komi</translation>
    </message>
    <message>
        <source>目</source>
        <translation> points</translation>
    </message>
    <message>
        <source>保存缺省规则失败!</source>
        <translation>Could not save the default rules.</translation>
    </message>
</context>
<context>
    <name>mh::RulesDialog</name>
    <message>
        <source>规则设置</source>
        <translation>Rules</translation>
    </message>
    <message>
        <source>保存为缺省规则</source>
        <translation>Save as default rules</translation>
    </message>
    <message>
        <source>规则类型: </source>
        <translation>Rules: </translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>mh::SettingsDialog</name>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>全局模式库匹配信息( A, B, C... )</source>
        <translation>Whole-board hints ( A, B, C... )</translation>
    </message>
    <message>
        <source>局部模式库匹配信息( A1, B1,... )</source>
        <translation>Local hints ( A1, B1,... )</translation>
    </message>
    <message>
        <source>矩阵模式库匹配信息( * )</source>
        <translation>Matrix pattern hints ( * )</translation>
    </message>
    <message>
        <source>提示音</source>
        <translation>Study chimes</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>On</translation>
    </message>
    <message>
        <source>落子音量</source>
        <translation>Stone sounds</translation>
    </message>
    <message>
        <source>全部打开</source>
        <translation>In every room</translation>
    </message>
    <message>
        <source>只打开当前房间</source>
        <translation>Only in the active room</translation>
    </message>
    <message>
        <source>全部关闭</source>
        <translation>Off</translation>
    </message>
</context>
<context>
    <name>mh::StudyBar</name>
    <message>
        <source>显示手数</source>
        <translation>Show Move Numbers</translation>
    </message>
    <message>
        <source>查看标记详细信息(...)</source>
        <translation>Hint Details...</translation>
    </message>
    <message>
        <source>研究</source>
        <translation>Study</translation>
    </message>
    <message>
        <source>|&lt;</source>
        <translation>|&lt;</translation>
    </message>
    <message>
        <source>到开始</source>
        <translation>To the start</translation>
    </message>
    <message>
        <source>&lt;5</source>
        <translation>&lt;5</translation>
    </message>
    <message>
        <source>后退五手</source>
        <translation>Back five moves</translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation>&lt;</translation>
    </message>
    <message>
        <source>后退一手</source>
        <translation>Back one move</translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation>&gt;</translation>
    </message>
    <message>
        <source>前进一手</source>
        <translation>Forward one move</translation>
    </message>
    <message>
        <source>&gt;5</source>
        <translation>&gt;5</translation>
    </message>
    <message>
        <source>前进五手</source>
        <translation>Forward five moves</translation>
    </message>
    <message>
        <source>&gt;|</source>
        <translation>&gt;|</translation>
    </message>
    <message>
        <source>到最后</source>
        <translation>To the end</translation>
    </message>
    <message>
        <source>前注</source>
        <translation>Prev. Comment</translation>
    </message>
    <message>
        <source>上一个有注释的位置</source>
        <translation>The previous position with a comment</translation>
    </message>
    <message>
        <source>后注</source>
        <translation>Next Comment</translation>
    </message>
    <message>
        <source>下一个有注释的位置</source>
        <translation>The next position with a comment</translation>
    </message>
    <message>
        <source>悔一步棋</source>
        <translation>Take Back a Move</translation>
    </message>
    <message>
        <source>悔到当前位置</source>
        <translation>Take Back to Here</translation>
    </message>
    <message>
        <source>试下</source>
        <translation>Try Moves</translation>
    </message>
    <message>
        <source>重新研究</source>
        <translation>Restart Study</translation>
    </message>
    <message>
        <source>研讨结束</source>
        <translation>End Study</translation>
    </message>
    <message>
        <source>选择全局库: </source>
        <translation>Global library: </translation>
    </message>
</context>
</TS>
