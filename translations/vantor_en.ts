<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AutoTidySection</name>
    <message numerus="yes">
        <source>after %n hours</source>
        <translation>
            <numerusform>after %n hour</numerusform>
            <numerusform>after %n hours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>after %n minutes</source>
        <translation>
            <numerusform>after %n minute</numerusform>
            <numerusform>after %n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>after %n seconds</source>
        <translation>
            <numerusform>after %n second</numerusform>
            <numerusform>after %n seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CleanView</name>
    <message numerus="yes">
        <source>No files match your rules. %n other files left alone.</source>
        <translation>
            <numerusform>No files match your rules. %n other file left alone.</numerusform>
            <numerusform>No files match your rules. %n other files left alone.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files to put away</source>
        <translation>
            <numerusform>%n file to put away</numerusform>
            <numerusform>%n files to put away</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n other files stay where they are.</source>
        <translation>
            <numerusform>%n other file stays where it is.</numerusform>
            <numerusform>%n other files stay where they are.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandRunner</name>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n file</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n other items stay there.</source>
        <translation>
            <numerusform>%n other item stays there.</numerusform>
            <numerusform>%n other items stay there.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n other items stay on the Desktop.</source>
        <translation>
            <numerusform>%n other item stays on the Desktop.</numerusform>
            <numerusform>%n other items stay on the Desktop.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Moved %1; %n couldn&apos;t be moved.</source>
        <translation>
            <numerusform>Moved %1; %n couldn't be moved.</numerusform>
            <numerusform>Moved %1; %n couldn't be moved.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Moved %1; %n couldn&apos;t be moved (%2 in use).</source>
        <translation>
            <numerusform>Moved %1; %n couldn't be moved (%2 in use).</numerusform>
            <numerusform>Moved %1; %n couldn't be moved (%2 in use).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Put back %1; %n couldn&apos;t be put back.</source>
        <translation>
            <numerusform>Put back %1; %n couldn't be put back.</numerusform>
            <numerusform>Put back %1; %n couldn't be put back.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryList</name>
    <message numerus="yes">
        <source>Moved %n files</source>
        <translation>
            <numerusform>Moved %n file</numerusform>
            <numerusform>Moved %n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Put back %n files moved %1</source>
        <translation>
            <numerusform>Put back %n file moved %1</numerusform>
            <numerusform>Put back %n files moved %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RuleDescription</name>
    <message numerus="yes">
        <source>added more than %n days ago</source>
        <translation>
            <numerusform>added more than %n day ago</numerusform>
            <numerusform>added more than %n days ago</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RuleGroupRow</name>
    <message numerus="yes">
        <source>%n files to the Trash</source>
        <translation>
            <numerusform>%n file to the Trash</numerusform>
            <numerusform>%n files to the Trash</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n file</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RuleListModel</name>
    <message numerus="yes">
        <source>%n file types</source>
        <translation>
            <numerusform>%n file type</numerusform>
            <numerusform>%n file types</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RuleStore</name>
    <message numerus="yes">
        <source>%1 now belongs to no rule.</source>
        <translation>
            <numerusform>%1 now belongs to no rule.</numerusform>
            <numerusform>%1 now belong to no rule.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message numerus="yes">
        <source>Moved %n files</source>
        <translation>
            <numerusform>Moved %n file</numerusform>
            <numerusform>Moved %n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>· %n couldn&apos;t be moved</source>
        <translation>
            <numerusform>· %n couldn't be moved</numerusform>
            <numerusform>· %n couldn't be moved</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Put back %n files.</source>
        <translation>
            <numerusform>Put back %n file.</numerusform>
            <numerusform>Put back %n files.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n were missing.</source>
        <translation>
            <numerusform>%n were missing.</numerusform>
            <numerusform>%n were missing.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Last clean moved %n files %1</source>
        <translation>
            <numerusform>Last clean moved %n file %1</numerusform>
            <numerusform>Last clean moved %n files %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>· %n couldn&apos;t be moved: in use</source>
        <translation>
            <numerusform>· %n couldn't be moved: in use</numerusform>
            <numerusform>· %n couldn't be moved: in use</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message numerus="yes">
        <source>%1 (%n files)</source>
        <translation>
            <numerusform>%1 (%n file)</numerusform>
            <numerusform>%1 (%n files)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Vantor — %n files to put away</source>
        <translation>
            <numerusform>Vantor — %n file to put away</numerusform>
            <numerusform>Vantor — %n files to put away</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>VantorApp</name>
    <message numerus="yes">
        <source>Put away %n files</source>
        <translation>
            <numerusform>Put away %n file</numerusform>
            <numerusform>Put away %n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more → %1</source>
        <translation>
            <numerusform>%n more → %1</numerusform>
            <numerusform>%n more → %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files → %1</source>
        <translation>
            <numerusform>%n file → %1</numerusform>
            <numerusform>%n files → %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more elsewhere</source>
        <translation>
            <numerusform>%n more elsewhere</numerusform>
            <numerusform>%n more elsewhere</numerusform>
        </translation>
    </message>
</context>
</TS>
