<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>SettingsMenu</name>
    <message>
        <source>Start at Login</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>显示输入源指示器</translation>
    </message>
    <message>
        <source>Hide Icon When Closed</source>
        <translation>关闭后隐藏图标</translation>
    </message>
    <message>
        <source>Indicator Follows Front Window</source>
        <translation>指示器跟随前台窗口</translation>
    </message>
    <message>
        <source>Latin Layout in Browser Address Bar</source>
        <translation>浏览器地址栏使用拉丁布局</translation>
    </message>
    <message>
        <source>Using Velmora with Alfred</source>
        <translation>在 Alfred 中使用 Velmora</translation>
    </message>
    <message>
        <source>Rate Velmora</source>
        <translation>评价 Velmora</translation>
    </message>
    <message>
        <source>Velmora Online</source>
        <translation>Velmora 官网</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>支持</translation>
    </message>
    <message>
        <source>Videos</source>
        <translation>视频</translation>
    </message>
    <message>
        <source>Quit Velmora</source>
        <translation>退出 Velmora</translation>
    </message>
</context>
<context>
    <name>Velmora</name>
    <message>
        <source>Icon</source>
        <translation>图标</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>应用程序</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>布局</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>快捷键</translation>
    </message>
    <message>
        <source>Layout shortcuts</source>
        <translation>布局快捷键</translation>
    </message>
    <message>
        <source>Each keyboard layout can have a shortcut that selects it in any application.</source>
        <translation>每个键盘布局都可以设置快捷键，在任何应用程序中切换到该布局。</translation>
    </message>
    <message>
        <source>Add an application</source>
        <translation>添加应用程序</translation>
    </message>
    <message>
        <source>Remove the application</source>
        <translation>移除应用程序</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>快捷键</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>显示</translation>
    </message>
    <message>
        <source>Click to record a shortcut</source>
        <translation>点击以录制快捷键</translation>
    </message>
    <message>
        <source>Type Shortcut</source>
        <translation>请按快捷键</translation>
    </message>
    <message>
        <source>Record Shortcut</source>
        <translation>录制快捷键</translation>
    </message>
    <message>
        <source>Ctrl</source>
        <translation>Ctrl</translation>
    </message>
    <message>
        <source>Alt</source>
        <translation>Alt</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>Shift</translation>
    </message>
    <message>
        <source>Super</source>
        <translation>Super</translation>
    </message>
    <message>
        <source>Key %1</source>
        <translation>按键 %1</translation>
    </message>
    <message>
        <source>Applications (*.desktop)</source>
        <translation>应用程序 (*.desktop)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>Add an Application</source>
        <translation>添加应用程序</translation>
    </message>
    <message>
        <source>Search applications</source>
        <translation>搜索应用程序</translation>
    </message>
    <message>
        <source>Other...</source>
        <translation>其他…</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Velmora could not use its settings file</source>
        <translation>Velmora 无法使用其设置文件</translation>
    </message>
</context>
</TS>
