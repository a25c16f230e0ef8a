<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>SettingsMenu</name>
    <message>
        <source>Start at Login</source>
        <translation>Запускать при входе</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>Показывать индикатор раскладки</translation>
    </message>
    <message>
        <source>Hide Icon When Closed</source>
        <translation>Скрывать значок после закрытия</translation>
    </message>
    <message>
        <source>Indicator Follows Front Window</source>
        <translation>Индикатор следует за активным окном</translation>
    </message>
    <message>
        <source>Latin Layout in Browser Address Bar</source>
        <translation>Латинская раскладка в адресной строке</translation>
    </message>
    <message>
        <source>Using Velmora with Alfred</source>
        <translation>Velmora и Alfred</translation>
    </message>
    <message>
        <source>Rate Velmora</source>
        <translation>Оценить Velmora</translation>
    </message>
    <message>
        <source>Velmora Online</source>
        <translation>Velmora в интернете</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Поддержка</translation>
    </message>
    <message>
        <source>Videos</source>
        <translation>Видео</translation>
    </message>
    <message>
        <source>Quit Velmora</source>
        <translation>Выйти из Velmora</translation>
    </message>
</context>
<context>
    <name>Velmora</name>
    <message>
        <source>Icon</source>
        <translation>Значок</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Приложение</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>Раскладка</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Сочетание</translation>
    </message>
    <message>
        <source>Layout shortcuts</source>
        <translation>Сочетания для раскладок</translation>
    </message>
    <message>
        <source>Each keyboard layout can have a shortcut that selects it in any application.</source>
        <translation>Каждой раскладке можно назначить сочетание, включающее её в любом приложении.</translation>
    </message>
    <message>
        <source>Add an application</source>
        <translation>Добавить приложение</translation>
    </message>
    <message>
        <source>Remove the application</source>
        <translation>Удалить приложение</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>Сочетания клавиш</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Показать</translation>
    </message>
    <message>
        <source>Click to record a shortcut</source>
        <translation>Нажмите, чтобы записать сочетание</translation>
    </message>
    <message>
        <source>Type Shortcut</source>
        <translation>Нажмите сочетание</translation>
    </message>
    <message>
        <source>Record Shortcut</source>
        <translation>Записать сочетание</translation>
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
        <translation>Клавиша %1</translation>
    </message>
    <message>
        <source>Applications (*.desktop)</source>
        <translation>Приложения (*.desktop)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Все файлы (*)</translation>
    </message>
    <message>
        <source>Add an Application</source>
        <translation>Добавление приложения</translation>
    </message>
    <message>
        <source>Search applications</source>
        <translation>Поиск приложений</translation>
    </message>
    <message>
        <source>Other...</source>
        <translation>Другое…</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Velmora could not use its settings file</source>
        <translation>Velmora не может использовать свой файл настроек</translation>
    </message>
</context>
</TS>
