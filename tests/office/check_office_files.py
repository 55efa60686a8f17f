"""Has LibreOffice read the filled approval forms and openpyxl the exported
list, as office_file_samples wrote them: the 25 values in order and nothing
left of a placeholder; the merged title, the bold headers, every cell."""
import os
import re
import subprocess
import sys
import tempfile

from openpyxl import load_workbook
from openpyxl.utils import get_column_letter

tool, out = sys.argv[1], sys.argv[2]
os.makedirs(out, exist_ok=True)
subprocess.run([tool, out], check=True)
failures = []


def read_list(text):
    return text.split('\0')[:-1]


def read(name):
    with open(os.path.join(out, name), encoding='utf-8') as f:
        return f.read()


def check(ok, what):
    if not ok:
        failures.append(what)


fills = read_list(read('fills.bin'))
forms = ['form_docx.docx', 'form_rtf.rtf']
with tempfile.TemporaryDirectory() as profile:
    subprocess.run(['soffice', '-env:UserInstallation=file://' + profile, '--headless', '--convert-to',
                    'txt:Text (encoded):UTF8', '--outdir', out] + [os.path.join(out, f) for f in forms],
                   check=True, timeout=240, capture_output=True)
for form in forms:
    with open(os.path.join(out, form.split('.')[0] + '.txt'), encoding='utf-8-sig') as f:
        text = f.read()
    at = 0
    for placeholder, value in zip(fills[0::2], fills[1::2]):
        for line in value.splitlines():
            # LibreOffice reads a run of blanks in RTF as blanks of other widths.
            found = re.compile(re.escape(line) if line.strip() else r'\s{%d}' % len(line)).search(text, at)
            check(found is not None, f'{form}: {placeholder} = {line!r} missing or out of order')
            at = found.end() if found else at
        check(placeholder.strip('$') not in text, f'{form}: {placeholder} left')
    check('$' not in text, f'{form}: a piece of a placeholder left: {text!r}')

sheet = load_workbook(os.path.join(out, 'list.xlsx')).active
rows = [read_list(row) for row in read('cells.bin').split('\x1e')]
last = get_column_letter(len(rows[0]))
title = sheet['A1']
check(title.value == 'Marivel记录列表' and title.font.sz == 18 and title.alignment.horizontal == 'center',
      'title')
check([str(r) for r in sheet.merged_cells.ranges] == [f'A1:{last}1'], 'merged title')
check(all(sheet.cell(3, k).font.b for k in range(1, len(rows[0]) + 1)), 'bold headers')
shown = [[c.value or '' for c in row] for row in sheet.iter_rows(min_row=3)]
check(shown == rows, f'cells: {shown} != {rows}')
check(all(isinstance(c.value, str) for row in sheet.iter_rows(min_row=3) for c in row if c.value), 'text cells')

table = load_workbook(os.path.join(out, 'table.xlsx')).active
check([str(r) for r in table.merged_cells.ranges] == ['A1:B1'], 'table: merged title')
check([[c.value for c in row] for row in table.iter_rows()] ==
      [['收文统计', None], [None, None], ['文种', '件数'], ['通知', '2'], ['合计', '2']], 'table: cells')

print('\n'.join(failures) or 'LibreOffice and openpyxl read every file as written')
sys.exit(1 if failures else 0)
