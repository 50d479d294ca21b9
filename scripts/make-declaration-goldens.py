#!/usr/bin/env python3
"""Writes the expected declaration files of tests/data/declaration_*.ffdata.

Built line by line from the file layout, independently of the C++ writer, and run once; the
results are committed. The inputs here must match the ones the writer tests build.
"""
import os

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data")


def amount(text):
    return text.replace(".", ",")


def declaration(l_rows, u_rows, main_values, footer_code, footer_year):
    """Rows are lists of (already expected) field texts: L rows 10 values (L1..L10),
    U rows 14 values (U1..U10, U12..U15)."""
    lines = []

    def add(spaces, text):
        lines.append(" " * spaces + text)

    l_pages = (len(l_rows) + 9) // 10
    u_pages = (len(u_rows) + 4) // 5
    add(0, '<?xml version="1.0" encoding="UTF-8"?>')
    add(0, '<FFData Version="1" CreatedByApp="ABBYY eFormFiller 2.5 v6 (build 190)" CreatedByLogin="Admin">')
    add(0, '<Form FormDefId="{DD0F88DD-A858-4595-AF2F-3643D0069A39}">')
    add(0, "<DocumentPages>")
    add(2, '<Group Name="Visa forma">')
    add(4, "<ListPages>")
    add(6, "<ListPage>KVD507</ListPage>")
    add(4, "</ListPages>")
    for name, count in (("KVD507L", l_pages), ("KVD507U", u_pages)):
        for _ in range(count):
            add(4, f'<Group Name="Priedas_{name}">')
            add(6, "<ListPages>")
            add(8, f"<ListPage>{name}</ListPage>")
            add(6, "</ListPages>")
            add(4, "</Group>")
    add(2, "</Group>")
    add(0, "</DocumentPages>")
    add(0, f'<Pages Count="{1 + l_pages + u_pages}">')

    add(2, '<Page PageDefName="KVD507" PageNumber="1">')
    add(4, '<Fields Count="9">')
    for name, value in zip(("B_MM_ID", "B_MM_Pavad", "B_ML_Metai"), main_values):
        add(4, f'<Field Name="{name}">{value}</Field>')
    for name in ("G4", "G5", "G6", "G7", "B_FormNr", "B_FormVerNr"):
        add(4, f'<Field Name="{name}"></Field>')
    add(4, "</Fields>")
    add(2, "</Page>")

    page_number = 1
    for name, letter, rows, slots, fields, columns in (
        ("KVD507L", "L", l_rows, 10, 135, list(range(1, 11)) + [None] * 3),
        ("KVD507U", "U", u_rows, 5, 80, list(range(1, 11)) + [None] + list(range(11, 15))),
    ):
        # columns[i] is the 1-based position in the row's value list for column i + 1
        pages = (len(rows) + slots - 1) // slots
        for page in range(pages):
            page_number += 1
            add(4, f'<Page PageDefName="{name}" PageNumber="{page_number}">')
            add(6, f'<Fields Count="{fields}">')
            for slot in range(1, slots + 1):
                index = page * slots + slot - 1
                row = rows[index] if index < len(rows) else None
                for column, source in enumerate(columns, start=1):
                    value = "" if row is None or source is None else row[source - 1]
                    add(8, f'<Field Name="{letter}{column}-{slot}">{value}</Field>')
            add(8, f'<Field Name="B_MM_ID">{footer_code}</Field>')
            add(8, f'<Field Name="B_ML_Metai">{footer_year}</Field>')
            add(8, '<Field Name="B_FormNr"></Field>')
            add(8, '<Field Name="B_FormVerNr"></Field>')
            add(8, f'<Field Name="LapoNr">{page_number - 1}</Field>')
            add(6, "</Fields>")
            add(4, "</Page>")

    add(0, "</Pages>")
    add(0, "</Form>")
    add(0, "</FFData>")
    expected_lines = 27 + 144 * l_pages + 89 * u_pages
    assert len(lines) == expected_lines, (len(lines), expected_lines)
    return b"\xef\xbb\xbf" + "".join(line + "\r\n" for line in lines).encode("utf-8")


def save(name, data):
    with open(os.path.join(DATA, name), "wb") as out:
        out.write(data)


# One L row; the payer name of a new declaration trimmed, a-z upper-cased and escaped.
save(
    "declaration_one_l_row.ffdata",
    declaration(
        [["38501010001", "1", "JONAS JONAITIS", "A", "01", "N", "", "1234,50", "P.1", "10,00"]],
        [],
        ("123456789", "UAB &quot;ąžUOLAS&quot; &amp; CO", "2023"),
        "123456789",
        "2023",
    ),
)

# Both tables empty.
save(
    "declaration_empty_tables.ffdata",
    declaration([], [], ("123456789", "UAB PAVYZDYS", "2023"), "123456789", "2023"),
)


# Twelve L rows and three U rows of an extended declaration: the main page keeps the header
# taken over, the footers carry the payer and year selected now.
def l_row(i):
    return [
        f"3800000{i:04d}",
        "1",
        f"ASMUO {i}",
        "A" if i % 2 else "B",
        f"{i:02d}",
        "N" if i % 3 == 0 else "",
        "D" if i % 4 == 0 else "",
        amount(f"{i * 100}.{i:02d}"),
        "0",
        amount(f"{i}.00"),
    ]


def u_row(j):
    return [
        f"LT{j:03d}",
        str(j),
        f"UŽSIENIO ĮMONĖ {j}",
        "A",
        f"{10 + j}",
        "",
        "",
        amount(f"{j * 50}.25"),
        "0",
        amount("0.00"),
        f"Vilnius {j}",
        "LT",
        f"2023-0{j}-01",
        f"Pastaba {j}",
    ]


save(
    "declaration_12_l_3_u_extended.ffdata",
    declaration(
        [l_row(i) for i in range(1, 13)],
        [u_row(j) for j in range(1, 4)],
        ("987654321", "UAB &quot;SENA&quot;", "2022"),
        "123456789",
        "2023",
    ),
)

# Values that are not XML text as they stand. Each expected text is written out by hand: the
# name cells and the payer name keep the "&" that begin a reference (they are escaped already),
# every other value has each "&" escaped; line breaks and tabs become character references.
save(
    "declaration_values_needing_escapes.ffdata",
    declaration(
        [
            [
                "A&lt;B",  # A<B
                "1",
                "AT&amp;T &amp; CO",  # AT&T &amp; CO
                "A",
                "x&gt;y",  # x>y
                "",
                "",
                "1,5&#10;2",  # 1.5 LF 2
                "line1&#13;&#10;line2",  # line1 CR LF line2
                "&#9;3,25",  # TAB 3.25
            ]
        ],
        [
            [
                'say "hi"',  # say "hi"
                "&amp;#38; &amp;#x26;",  # &#38; &#x26; (not a name: every "&" escaped)
                "&amp;#0; &amp;bogus; &amp;#x110000;",  # &#0; &bogus; &#x110000; (a name)
                "B",
                "\ufffd\ufffd",  # FF C3 (a byte that is never UTF-8, a cut-off sequence)
                "a&#127;b",  # a DEL b
                "\ufffd",  # U+FFFF
                "0,00",
                "0",
                "0,00",
                "&amp;lt;tag&amp;gt;",  # &lt;tag&gt;
                "Ąžuolas",
                "",
                "&amp;",  # &
            ]
        ],
        ("12&#9;34", "A&lt;B &amp; C", "2023"),  # code 12 TAB 34; name a<b & c
        "12&#9;34",
        "2023",
    ),
)
