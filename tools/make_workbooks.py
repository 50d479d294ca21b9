#!/usr/bin/python3
"""Makes the empty template sablonas/KVD507.xlsx and the filled example examples/pavyzdys.xlsx.

Run from anywhere: `tools/make_workbooks.py [--xls] [--ods]` (Debian's python3 with
python3-openpyxl). The output is byte-for-byte the same on every run, so regenerating shows up in
git only when this script changed. With --xls and --ods, LibreOffice also writes .xls and .ods
copies of both (their bytes differ from run to run).
"""

import argparse
import datetime
import io
import pathlib
import re
import shutil
import subprocess
import tempfile
import zipfile

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
from openpyxl.utils import get_column_letter

ROOT = pathlib.Path(__file__).resolve().parent.parent
TEMPLATE = ROOT / "sablonas" / "KVD507.xlsx"
EXAMPLE = ROOT / "examples" / "pavyzdys.xlsx"

# Fixed so that the files do not change when nothing in them did.
STAMP = datetime.datetime(2024, 1, 2, 9, 0, 0)

FIRST_DATA_ROW = 6
HEADER_ROWS = range(2, 6)

AMOUNT_FORMAT = "0.00"
TEXT_FORMAT = "@"
DATE_FORMAT = "yyyy-mm-dd"

NOT_WITHHELD = "nuo kurios mokestis neišskaičiuotas"
GROUPS = [
    ("A", "A"),
    ("B", "B"),
    ("A, N", f"A, N — {NOT_WITHHELD}"),
    ("B, N", f"B, N — {NOT_WITHHELD}"),
]

L_IDENTIFIERS = [
    ("Asmens kodas", 14, TEXT_FORMAT),
    ("Įmonės kodas", 13, TEXT_FORMAT),
    ("Mokesčių mokėtojo kodas", 15, TEXT_FORMAT),
    ("Užsienio valstybės mokesčių mokėtojo kodas", 19, TEXT_FORMAT),
    ("Gimimo data", 12, DATE_FORMAT),
]
U_IDENTIFIERS = L_IDENTIFIERS[:4] + [
    ("Asmens dokumento numeris", 15, TEXT_FORMAT),
    L_IDENTIFIERS[4],
]
U_EXTRAS = [
    ("Valstybės kodas", 10, TEXT_FORMAT),
    ("Adresas", 30, TEXT_FORMAT),
    ("Miestas / vietovė", 16, TEXT_FORMAT),
    ("Pašto kodas", 11, TEXT_FORMAT),
]


class Layout:
    """Where the columns of one worksheet stand; the reader expects exactly this order."""

    def __init__(self, name, title, extras, identifiers):
        self.name = name
        self.title = title
        self.extras = extras
        self.identifiers = identifiers
        self.first_extra = 3
        self.first_identifier = self.first_extra + len(extras)
        self.first_group = self.first_identifier + len(identifiers)
        self.rate_column = self.first_group + 2 * len(GROUPS)
        self.tax_column = self.rate_column + 1

    @property
    def last_column(self):
        return self.tax_column


L_LAYOUT = Layout("KVD507 L", "KVD507 L priedas — išmokos ir išskaičiuotas mokestis", [],
                  L_IDENTIFIERS)
U_LAYOUT = Layout("KVD507 U", "KVD507 U priedas — išmokos ir išskaičiuotas mokestis", U_EXTRAS,
                  U_IDENTIFIERS)

BOLD = Font(bold=True)
TITLE = Font(bold=True, size=13)
HEADER_FILL = PatternFill("solid", fgColor="DDE6F0")
THIN = Side(style="thin", color="808080")
BOX = Border(left=THIN, right=THIN, top=THIN, bottom=THIN)
CENTRED = Alignment(horizontal="center", vertical="center", wrap_text=True)


def header_cell(ws, row, column, text=None):
    cell = ws.cell(row=row, column=column)
    if text is not None:
        cell.value = text
    cell.font = BOLD
    cell.fill = HEADER_FILL
    cell.border = BOX
    cell.alignment = CENTRED
    return cell


def span(ws, first_row, first_column, last_row, last_column, text):
    for row in range(first_row, last_row + 1):
        for column in range(first_column, last_column + 1):
            header_cell(ws, row, column)
    ws.cell(row=first_row, column=first_column).value = text
    if (first_row, first_column) != (last_row, last_column):
        ws.merge_cells(start_row=first_row, start_column=first_column, end_row=last_row,
                       end_column=last_column)


def add_sheet(wb, layout):
    ws = wb.create_sheet(layout.name)
    ws.cell(row=1, column=1, value=layout.title).font = TITLE

    # Rows 2-4 name the columns, row 5 numbers them the way the form's tables do.
    span(ws, 2, 1, 4, 1, "Eil. Nr.")
    span(ws, 2, 2, 4, 2, "Gavėjo vardas, pavardė / pavadinimas")
    widths = {1: 7, 2: 40}
    if layout.extras:
        span(ws, 2, layout.first_extra, 2, layout.first_identifier - 1, "Gavėjo duomenys")
        for offset, (text, width, _) in enumerate(layout.extras):
            column = layout.first_extra + offset
            span(ws, 3, column, 4, column, text)
            widths[column] = width
    span(ws, 2, layout.first_identifier, 2, layout.first_group - 1,
         "Gavėjo identifikavimas (pildomas vienas stulpelis)")
    for offset, (text, width, _) in enumerate(layout.identifiers):
        column = layout.first_identifier + offset
        span(ws, 3, column, 4, column, text)
        widths[column] = width
    span(ws, 2, layout.first_group, 2, layout.rate_column - 1, "Išmokos")
    for index, (_, heading) in enumerate(GROUPS):
        amount = layout.first_group + 2 * index
        span(ws, 3, amount, 3, amount + 1, heading)
        span(ws, 4, amount, 4, amount, "Išmokos suma, Eur")
        span(ws, 4, amount + 1, 4, amount + 1, "Išmokos kodas")
        widths[amount] = 13
        widths[amount + 1] = 9
    span(ws, 2, layout.rate_column, 4, layout.rate_column, "Mokesčio tarifas, proc.")
    span(ws, 2, layout.tax_column, 4, layout.tax_column, "Išskaičiuota mokesčio suma, Eur")
    widths[layout.rate_column] = 10
    widths[layout.tax_column] = 14
    for column in range(1, layout.last_column + 1):
        header_cell(ws, 5, column, str(column))

    for column, width in widths.items():
        ws.column_dimensions[get_column_letter(column)].width = width
    ws.row_dimensions[3].height = 45
    ws.row_dimensions[4].height = 45

    # Identifiers and codes keep their leading zeros only when Excel takes them as text.
    formats = {column: TEXT_FORMAT for column in range(2, layout.first_group)}
    for offset, (_, _, number_format) in enumerate(layout.extras + layout.identifiers):
        formats[layout.first_extra + offset] = number_format
    for index in range(len(GROUPS)):
        formats[layout.first_group + 2 * index] = AMOUNT_FORMAT
        formats[layout.first_group + 2 * index + 1] = TEXT_FORMAT
    formats[layout.rate_column] = TEXT_FORMAT
    formats[layout.tax_column] = AMOUNT_FORMAT
    for column, number_format in formats.items():
        ws.column_dimensions[get_column_letter(column)].number_format = number_format

    # The name column stays in view while scrolling to the amounts.
    ws.freeze_panes = ws.cell(row=FIRST_DATA_ROW, column=3)
    ws.page_setup.orientation = "landscape"
    ws.page_setup.fitToWidth = 1
    ws.page_setup.fitToHeight = 0
    ws.sheet_properties.pageSetUpPr.fitToPage = True
    ws.print_title_rows = "1:5"
    return ws


def new_workbook():
    wb = Workbook()
    wb.remove(wb.active)
    wb.properties.creator = "kvd507"
    wb.properties.lastModifiedBy = "kvd507"
    wb.properties.created = STAMP
    wb.properties.modified = STAMP
    return wb, add_sheet(wb, L_LAYOUT), add_sheet(wb, U_LAYOUT)


def fill(ws, layout, rows):
    """Writes the rows from row 6 down. Each row is a dict: name, extras (list), id (column
    offset, value), group (1-4), amount, code, rate, tax, and optionally more groups in
    "also" as (group, amount, code)."""
    for index, row in enumerate(rows):
        number = FIRST_DATA_ROW + index
        put = lambda column, value: write(ws, number, column, value)  # noqa: E731
        put(1, index + 1)
        put(2, row["name"])
        for offset, text in enumerate(row.get("extras", [])):
            put(layout.first_extra + offset, text)
        if "id" in row:
            kind, identifier = row["id"]
            put(layout.first_identifier + kind - 1, identifier)
        for group, amount, code in [(row["group"], row["amount"], row["code"])] + row.get(
                "also", []):
            column = layout.first_group + 2 * (group - 1)
            put(column, amount)
            put(column + 1, code)
        if "rate" in row:
            put(layout.rate_column, row["rate"])
        if "tax" in row:
            put(layout.tax_column, row["tax"])


def write(ws, row, column, value):
    cell = ws.cell(row=row, column=column, value=value)
    number_format = ws.column_dimensions[get_column_letter(column)].number_format
    if isinstance(value, (int, float, datetime.date)) and number_format != TEXT_FORMAT:
        cell.number_format = number_format
    elif isinstance(value, str):
        cell.number_format = TEXT_FORMAT
    cell.border = Border(bottom=Side(style="hair", color="C0C0C0"))


def asmuo(code):
    return (1, code)


def imone(code):
    return (2, code)


# Rows of the example's L sheet. Amounts are numbers as a user types them; some codes were typed
# as numbers too (a text-formatted column still receives pasted numbers).
L_EXAMPLE = [
    dict(name="Jonas Petraitis", id=asmuo("38001010015"), group=1, amount=1500, code="01",
         rate="15", tax=225),
    dict(name="Ona Kazlauskienė", id=asmuo("48505121231"), group=1, amount=2345.67, code=1,
         rate=20, tax=469.13),
    dict(name="Žydrūnas Šliūpas", id=asmuo("37903030308"), group=1, amount=980.4, code="02",
         rate="20", tax=196.08),
    dict(name='UAB "Ąžuolas" & Co', id=imone("302345678"), group=1, amount=10000, code="12D",
         rate="15", tax=1500),
    dict(name="Rūta Jankauskaitė", id=asmuo("49112240455"), group=2, amount=800.5, code="5",
         rate="15", tax=120.08),
    # Three monthly payments to the same person under the same code: one declaration row.
    dict(name="Petras Vaitkus", id=asmuo("37002020029"), group=1, amount=1000, code="03",
         rate="20", tax=200),
    dict(name="Petras Vaitkus", id=asmuo("37002020029"), group=1, amount=1000, code="03",
         rate="20", tax=200),
    dict(name="Petras Vaitkus", id=asmuo("37002020029"), group=1, amount=1050.55, code="03",
         rate="20", tax=210.11),
    # A correction typed as a negative amount does not count; the untaxed amount beside it does.
    dict(name="Dalia Mockutė", id=asmuo("48807070704"), group=1, amount=-150, code="03",
         also=[(3, 300, "03")], rate="0", tax=0),
    dict(name="Gintarė Žemaitytė", id=asmuo("49409090903"), group=4, amount=420, code="121"),
    dict(name="Anna Kowalska", id=(4, "PL85010112345"), group=1, amount=600, code="07",
         rate="15", tax=90),
    dict(name="Vytautas Čepulis", id=(3, "123456789"), group=1, amount=730.2, code="10",
         rate="15", tax=109.53),
    dict(name="Ąžuolė Ūsienė", id=(5, datetime.date(1990, 5, 17)), group=1, amount=250.25,
         code="02", rate="20", tax=50.05),
    dict(name="MB „Šilas ir partneriai“", id=imone("305111222"), group=1, amount=4200,
         code="12", rate="15", tax=630),
    dict(name="VšĮ Kūrybos namai", id=imone("300987654"), group=2, amount=1200, code="13",
         rate="15", tax=180),
    dict(name="antanas grigas", id=asmuo("36512121213"), group=1, amount=333.33, code=12,
         rate="15", tax=50),
    # The same person and code, the identifier typed in another column: still one row.
    dict(name="Jonas Petraitis", id=(3, "38001010015"), group=1, amount=500, code="01",
         rate="15", tax=75),
    # The same person under another code stays a row of its own.
    dict(name="Jonas Petraitis", id=asmuo("38001010015"), group=1, amount=120, code="13",
         rate="15", tax=18),
    dict(name="Eglė Navickaitė", id=asmuo("49603150128"), group=3, amount=75.9, code="08"),
    dict(name="Mindaugas Ūselis", id=asmuo("38811110010"), group=1, amount=2100, code="01",
         rate="20", tax=420),
    dict(name="Kęstutis Bružas", id=asmuo("37707070775"), group=2, amount=640, code="05D",
         rate="15", tax=96),
    dict(name='AB "Šviesa"', id=imone("110022334"), group=1, amount=15000, code="30",
         rate="15", tax=2250),
    dict(name="Laima Žilinskienė", id=asmuo("46001020307"), group=1, amount=412.78, code="02",
         rate="20", tax=82.56),
    dict(name="Tomas Šimkus", id=asmuo("39002280088"), group=1, amount=990, code="4",
         rate="20", tax=198),
    dict(name="Irena Čiurlionienė", id=asmuo("45512310046"), group=1, amount=1875.5,
         code="06", rate="15", tax=281.33),
    dict(name="Darius Vėjelis", id=asmuo("38404040405"), group=1, amount=560, code="07",
         rate="15", tax=84),
    dict(name="Giedrė Ąžuolaitė", id=asmuo("49807070075"), group=1, amount=720.1, code="02",
         rate="20", tax=144.02),
    dict(name="Gintarė Žemaitytė", id=asmuo("49409090903"), group=4, amount=80, code="121"),
]

U_EXAMPLE = [
    dict(name="Jānis Bērziņš", extras=["LV", "Brīvības iela 10-5", "Rīga", "LV-1010"],
         id=(4, "LV12038512345"), group=1, amount=1800, code="01", rate="15", tax=270),
    dict(name="Łukasz Nowak", extras=["PL", "ul. Długa 5", "Gdańsk", "80-827"],
         id=(4, "PL85070712345"), group=1, amount=950.5, code="7", rate="15", tax=142.58),
    dict(name="Smith & Sons Ltd", extras=["GB", "10 High St & Market Sq.", "London", "EC1A 1BB"],
         id=(4, "GB123456789"), group=2, amount=12000, code="30", rate="10", tax=1200),
    dict(name="Ieva Kairytė", extras=["DE", "Hauptstraße 12", "München", "80331"],
         id=(1, "49305050504"), group=1, amount=640, code="01", rate="15", tax=96),
    # Two payments to the same recipient, the address written differently: one row.
    dict(name="Mantas Žukauskas", extras=["NO", "Storgata 1", "Oslo", "0155"],
         id=(1, "38909090992"), group=1, amount=2300, code="02", rate="20", tax=460),
    dict(name="Mantas Žukauskas", extras=["NO", "Storgata 1, 2 etg.", "Oslo", "0155"],
         id=(1, "38909090992"), group=1, amount=2300, code="02", rate="20", tax=460),
    dict(name='"Nordic Timber" AS', extras=["NO", "Havnegata 7", "Bergen", "5003"],
         id=(2, "987654321"), group=3, amount=5400, code="12D"),
    dict(name="Agnė Ščiukaitė", extras=["IE", "5 Dame St", "Dublin", "D02 X285"],
         id=(5, "LT1234567"), group=1, amount=310.99, code="02", rate="20", tax=62.2),
    dict(name="Olga Petrova", extras=["UA", "vul. Khreshchatyk 22", "Kyiv", "01001"],
         id=(6, datetime.date(1987, 11, 23)), group=4, amount=450, code="5"),
    dict(name="Erik Svensson", extras=["SE", "Drottninggatan 3", "Stockholm", "111 51"],
         id=(4, "SE198001011234"), group=1, amount=-200, code="01",
         also=[(2, 760, "13")], rate="15", tax=114),
    dict(name="Rasa Vilkienė", extras=["US", "120 Main St", "Chicago, IL", "60601"],
         id=(3, "US987654321"), group=1, amount=1500.4, code="121", rate="15", tax=225.06),
    dict(name="Hans Müller", extras=["DE", "Lindenweg 4", "Berlin", "10115"],
         id=(4, "DE276543219"), group=1, amount=880, code="07", rate="15", tax=132),
    dict(name="Žemyna Grigaitė", extras=["FI", "Mannerheimintie 9", "Helsinki", "00100"],
         id=(1, "49901010104"), group=2, amount=205.5, code="13", rate="15", tax=30.83),
]


INLINE_STRING = re.compile(r'<c ([^>]*?)t="inlineStr"><is><t(?: [^>]*)?>(.*?)</t></is></c>')
MAIN_NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELS_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"


def share_strings(members):
    """Moves the worksheets' inline strings into xl/sharedStrings.xml, as Excel stores them, so
    that the committed workbooks look like the ones users bring."""
    table = {}
    uses = 0

    def shared(match):
        nonlocal uses
        uses += 1
        index = table.setdefault(match.group(2), len(table))
        return f'<c {match.group(1)}t="s"><v>{index}</v></c>'

    for name in sorted(members):
        if name.startswith("xl/worksheets/"):
            members[name] = INLINE_STRING.sub(shared, members[name].decode()).encode()
    items = "".join(f'<si><t xml:space="preserve">{text}</t></si>' for text in table)
    members["xl/sharedStrings.xml"] = (
        f'<sst xmlns="{MAIN_NS}" count="{uses}" uniqueCount="{len(table)}">{items}</sst>'
    ).encode()
    members["[Content_Types].xml"] = members["[Content_Types].xml"].replace(
        b"</Types>",
        b'<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
        b'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
    members["xl/_rels/workbook.xml.rels"] = members["xl/_rels/workbook.xml.rels"].replace(
        b"</Relationships>",
        f'<Relationship Type="{RELS_NS}/sharedStrings" Target="sharedStrings.xml" '
        f'Id="rIdStrings"/></Relationships>'.encode())


def save(wb, path):
    """Saves with fixed member dates so that an unchanged workbook keeps its bytes."""
    path.parent.mkdir(parents=True, exist_ok=True)
    buffer = io.BytesIO()
    wb.save(buffer)
    buffer.seek(0)
    with zipfile.ZipFile(buffer) as source:
        names = [member.filename for member in source.infolist()]
        members = {name: source.read(name) for name in names}
    share_strings(members)
    names.append("xl/sharedStrings.xml")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as target:
        for name in ["[Content_Types].xml"] + [n for n in names if n != "[Content_Types].xml"]:
            info = zipfile.ZipInfo(name, date_time=STAMP.timetuple()[:6])
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            target.writestr(info, members[name])


def convert(path, kind):
    if shutil.which("soffice") is None:
        raise SystemExit(f"soffice not found: cannot write the .{kind} copies")
    with tempfile.TemporaryDirectory() as profile:
        subprocess.run(["soffice", f"-env:UserInstallation=file://{profile}", "--headless",
                        "--convert-to", kind, "--outdir", str(path.parent), str(path)],
                       check=True, stdout=subprocess.DEVNULL)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--xls", action="store_true", help="also write .xls copies")
    parser.add_argument("--ods", action="store_true", help="also write .ods copies")
    args = parser.parse_args()

    wb, _, _ = new_workbook()
    save(wb, TEMPLATE)

    wb, l_sheet, u_sheet = new_workbook()
    fill(l_sheet, L_LAYOUT, L_EXAMPLE)
    fill(u_sheet, U_LAYOUT, U_EXAMPLE)
    save(wb, EXAMPLE)

    for kind in ("xls", "ods"):
        if getattr(args, kind):
            convert(TEMPLATE, kind)
            convert(EXAMPLE, kind)


if __name__ == "__main__":
    main()
