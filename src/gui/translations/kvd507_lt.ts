<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="lt_LT">
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>Gerai</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Įrašyti</translation>
    </message>
    <message>
        <source>Save All</source>
        <translation>Įrašyti viską</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Atverti</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Taip</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>Taip &amp;viskam</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Ne</translation>
    </message>
    <message>
        <source>N&amp;o to All</source>
        <translation>N&amp;e viskam</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Nutraukti</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Kartoti</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Nepaisyti</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Užverti</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Atšaukti</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Atmesti</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Žinynas</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Taikyti</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Atstatyti</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Atkurti numatytąsias</translation>
    </message>
</context>
<context>
    <name>QPrintDialog</name>
    <message>
        <source>Write PDF file</source>
        <translation>Įrašyti PDF failą</translation>
    </message>
    <message>
        <source>Local file</source>
        <translation>Vietinis failas</translation>
    </message>
    <message>
        <source>All Pages</source>
        <translation>Visi puslapiai</translation>
    </message>
    <message>
        <source>Odd Pages</source>
        <translation>Nelyginiai puslapiai</translation>
    </message>
    <message>
        <source>Even Pages</source>
        <translation>Lyginiai puslapiai</translation>
    </message>
    <message>
        <source>Print to File (PDF)</source>
        <translation>Spausdinti į failą (PDF)</translation>
    </message>
    <message>
        <source>Print To File ...</source>
        <translation>Spausdinti į failą...</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Spausdinti</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Spausdinti</translation>
    </message>
    <message>
        <source>Invalid Pages Definition</source>
        <translation>Netinkamai nurodyti puslapiai</translation>
    </message>
</context>
<context>
    <name>QPrintSettingsOutput</name>
    <message>
        <source>Page Set:</source>
        <translation>Puslapių rinkinys:</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Puslapiai</translation>
    </message>
    <message>
        <source>All Pages</source>
        <translation>Visi puslapiai</translation>
    </message>
    <message>
        <source>Odd Pages</source>
        <translation>Nelyginiai puslapiai</translation>
    </message>
    <message>
        <source>Even Pages</source>
        <translation>Lyginiai puslapiai</translation>
    </message>
</context>
<context>
    <name>QUnixPrintWidget</name>
    <message>
        <source>All Pages</source>
        <translation>Visi puslapiai</translation>
    </message>
    <message>
        <source>Odd Pages</source>
        <translation>Nelyginiai puslapiai</translation>
    </message>
    <message>
        <source>Even Pages</source>
        <translation>Lyginiai puslapiai</translation>
    </message>
    <message>
        <source>Write PDF file</source>
        <translation>Įrašyti PDF failą</translation>
    </message>
    <message>
        <source>Local file</source>
        <translation>Vietinis failas</translation>
    </message>
</context>
</TS>
