<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="zh_CN">
<context>
    <name>mh::CMainFrame</name>
    <message>
        <source>新建棋室(&amp;N)</source>
        <translation>新增棋室(&amp;N)</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>離開(&amp;X)</translation>
    </message>
    <message>
        <source>开始新局</source>
        <translation>開始新局</translation>
    </message>
    <message>
        <source>结束</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>对弈</source>
        <translation>對弈</translation>
    </message>
    <message>
        <source>打开棋谱(&amp;O)...</source>
        <translation>開啟棋譜(&amp;O)...</translation>
    </message>
    <message>
        <source>保存棋谱(&amp;S)</source>
        <translation>儲存棋譜(&amp;S)</translation>
    </message>
    <message>
        <source>另存棋谱为(&amp;A)...</source>
        <translation>另存棋譜為(&amp;A)...</translation>
    </message>
    <message>
        <source>导出到缺省sgf文件</source>
        <translation>匯出到預設sgf檔案</translation>
    </message>
    <message>
        <source>显示手数</source>
        <translation>顯示手數</translation>
    </message>
    <message>
        <source>棋盘XY交换</source>
        <translation>棋盤XY交換</translation>
    </message>
    <message>
        <source>水平翻转</source>
        <translation>水平翻轉</translation>
    </message>
    <message>
        <source>垂直翻转</source>
        <translation>垂直翻轉</translation>
    </message>
    <message>
        <source>查看标记详细信息(...)</source>
        <translation>檢視標記詳細資訊(...)</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>檔案(&amp;F)</translation>
    </message>
    <message>
        <source>游戏(&amp;G)</source>
        <translation>遊戲(&amp;G)</translation>
    </message>
    <message>
        <source>棋室(&amp;R)</source>
        <translation>棋室(&amp;R)</translation>
    </message>
    <message>
        <source>选择全局库: </source>
        <translation>選擇全局庫: </translation>
    </message>
    <message>
        <source>对局信息</source>
        <translation>對局資訊</translation>
    </message>
</context>
<context>
    <name>mh::HintDetailsWindow</name>
    <message>
        <source>标记详细信息:</source>
        <translation>標記詳細資訊:</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>信息</source>
        <translation>資訊</translation>
    </message>
</context>
<context>
    <name>mh::PlayDialog</name>
    <message>
        <source>游戏设置</source>
        <translation>遊戲設定</translation>
    </message>
    <message>
        <source>中国规则</source>
        <translation>中國規則</translation>
    </message>
    <message>
        <source>日本规则</source>
        <translation>日本規則</translation>
    </message>
    <message>
        <source>规则:</source>
        <translation>規則:</translation>
    </message>
    <message>
        <source>让子 (0,2-9)</source>
        <translation>讓子 (0,2-9)</translation>
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
        <translation>交換黑白雙方</translation>
    </message>
    <message>
        <source>贴目数:</source>
        <translation>貼目數:</translation>
    </message>
    <message>
        <source>贴子数:</source>
        <translation>貼子數:</translation>
    </message>
</context>
<context>
    <name>mh::PlayerPaneWidget</name>
    <message>
        <source>人</source>
        <translation>人</translation>
    </message>
    <message>
        <source>GNU Go + Moonhaven助手</source>
        <translation>GNU Go + Moonhaven助手</translation>
    </message>
    <message>
        <source>使用 Moonhaven助手</source>
        <translation>使用 Moonhaven助手</translation>
    </message>
    <message>
        <source>GNU Go 程序:</source>
        <translation>GNU Go 程式:</translation>
    </message>
    <message>
        <source>等级:</source>
        <translation>等級:</translation>
    </message>
    <message>
        <source>棋手:</source>
        <translation>棋手:</translation>
    </message>
    <message>
        <source>名字:</source>
        <translation>名字:</translation>
    </message>
    <message>
        <source>GNU Go 程序</source>
        <translation>GNU Go 程式</translation>
    </message>
</context>
<context>
    <name>mh::RecordFileDialog</name>
    <message>
        <source>打开棋谱</source>
        <translation>開啟棋譜</translation>
    </message>
    <message>
        <source>All Go Files (*.sgf *.gib)</source>
        <translation>All Go Files (*.sgf *.gib)</translation>
    </message>
    <message>
        <source>sgf file (*.sgf)</source>
        <translation>sgf file (*.sgf)</translation>
    </message>
    <message>
        <source>gib file (*.gib)</source>
        <translation>gib file (*.gib)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>All Files (*)</translation>
    </message>
    <message>
        <source>简体中文(GB)</source>
        <translation>簡體中文(GB)</translation>
    </message>
    <message>
        <source>繁体中文(BIG5)</source>
        <translation>繁體中文(BIG5)</translation>
    </message>
    <message>
        <source>语言: </source>
        <translation>語言: </translation>
    </message>
</context>
<context>
    <name>mh::RoomView</name>
    <message>
        <source>无名文件</source>
        <translation>未命名檔案</translation>
    </message>
    <message>
        <source>无比赛信息</source>
        <translation>無比賽資訊</translation>
    </message>
    <message>
        <source>手数</source>
        <translation>手數</translation>
    </message>
    <message>
        <source>黑</source>
        <translation>黑</translation>
    </message>
    <message>
        <source>白</source>
        <translation>白</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>結果</translation>
    </message>
    <message>
        <source>总</source>
        <translation>總</translation>
    </message>
    <message>
        <source>赢</source>
        <translation>贏</translation>
    </message>
    <message>
        <source>输</source>
        <translation>輸</translation>
    </message>
    <message>
        <source>总手</source>
        <translation>總手</translation>
    </message>
    <message>
        <source>东方不败</source>
        <translation>東方不敗</translation>
    </message>
    <message>
        <source>蜘蛛侠</source>
        <translation>蜘蛛人</translation>
    </message>
    <message>
        <source>不认识的文件格式!</source>
        <translation>不認識的檔案格式!</translation>
    </message>
    <message>
        <source>读sgf文件失败!</source>
        <translation>讀sgf檔案失敗!</translation>
    </message>
    <message>
        <source>sgf ---&gt; qipu失败!</source>
        <translation>sgf ---&gt; qipu失敗!</translation>
    </message>
    <message>
        <source>读gib文件失败!</source>
        <translation>讀gib檔案失敗!</translation>
    </message>
    <message>
        <source>gib ---&gt; qipu失败!</source>
        <translation>gib ---&gt; qipu失敗!</translation>
    </message>
    <message>
        <source>另存棋谱为</source>
        <translation>另存棋譜為</translation>
    </message>
    <message>
        <source>sgf file (*.sgf)</source>
        <translation>sgf file (*.sgf)</translation>
    </message>
    <message>
        <source>保存棋谱失败!</source>
        <translation>儲存棋譜失敗!</translation>
    </message>
    <message>
        <source>导出成功!</source>
        <translation>匯出成功!</translation>
    </message>
    <message>
        <source>导出失败!</source>
        <translation>匯出失敗!</translation>
    </message>
    <message>
        <source>游戏结束!</source>
        <translation>遊戲結束!</translation>
    </message>
    <message>
        <source>GNU Go 程序 &quot;%1&quot; 无法运行或已退出, 游戏结束!</source>
        <translation>GNU Go 程式 &quot;%1&quot; 無法執行或已退出, 遊戲結束!</translation>
    </message>
    <message>
        <source>%1棋室</source>
        <translation>%1棋室</translation>
    </message>
</context>
</TS>
