#!/usr/bin/env python3
"""Writes installer/approval_form.rtf, the sample approval-form template that
the installer puts where the register looks for its template by default.

RTF because Word and WPS both open it, also under a ".doc" name. Every
placeholder is written as one run of text, so the word processor's Find sees
it whole. The placeholders appear once each, in the order the register fills
them. Run it again only to change the layout.
"""
import os

TITLE = '收文呈批表'
PAGE_WIDTH = 9070          # A4 less 2.5 cm margins, in twips
LABEL_WIDTH = 1500
ROW_HEIGHT = 560
OPINION_HEIGHT = 1700

# (label, placeholder name) per cell pair; one pair per row spans the width.
ROWS = [
    [('收文日期', '收文日期'), ('收文号', '收文号')],
    [('办文号', '办文号'), ('来文字号', '来文字号')],
    [('文种', '文种'), ('来文单位', '来文单位')],
    [('密级', '密级'), ('紧急程度', '紧急')],
    [('文件标题', '文件标题')],
    [('拟办意见', '拟办意见')],
    [('请办意见', '请办意见')],
    [('批办意见', '批办意见')],
    [('发文日期', '发文日期'), ('主送单位', '主送单位')],
    [('条码编号', '条码编号'), ('条码单位', '条码单位')],
    [('制作日期', '制作日期'), ('发布层次', '发布层次')],
    [('录入人', '录入人'), ('已呈批', '已呈批')],
    [('经办人', '经办人'), ('已办结', '已办结')],
    [('存档号', '存档号'), ('办理结果', '办理结果')],
    [('备注', '备注')],
]
TALL = {'拟办意见', '请办意见', '批办意见', '办理结果', '备注'}
BORDER = ''.join('\\clbrdr%s\\brdrs\\brdrw10' % side for side in 'tlbr')


def rtf_text(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch in '\\{}':
            out.append('\\' + ch)
        elif code < 0x80:
            out.append(ch)
        else:
            out.append('\\u%d?' % (code - 0x10000 if code > 0x7FFF else code))
    return ''.join(out)


def row(pairs):
    height = OPINION_HEIGHT if any(name in TALL for _, name in pairs) else ROW_HEIGHT
    pair_width = PAGE_WIDTH // len(pairs)
    edges = []
    for i in range(len(pairs)):
        edges += [i * pair_width + LABEL_WIDTH, (i + 1) * pair_width]
    cells = ''.join('\\clvertalc%s\\cellx%d' % (BORDER, edge) for edge in edges)
    text = ''.join('\\pard\\intbl\\qc\\b %s\\b0\\cell\\pard\\intbl\\ql %s\\cell' %
                   (rtf_text(label), rtf_text('$%s$' % name)) for label, name in pairs)
    return '\\trowd\\trgaph108\\trleft0\\trrh%d%s\n%s\\row\n' % (height, cells, text)


def main():
    body = ''.join(row(pairs) for pairs in ROWS)
    document = ('{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang2052\\uc1\n'
                '{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\n'
                '\\paperw11906\\paperh16838\\margl1418\\margr1418\\margt1134\\margb1134\n'
                '\\pard\\qc\\sb240\\sa360\\b\\fs44 %s\\b0\\par\n'
                '\\fs24\n%s\\pard\\par\n}\n' % (rtf_text(TITLE), body))
    target = os.path.join(os.path.dirname(__file__), '..', 'installer', 'approval_form.rtf')
    with open(target, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(document)


if __name__ == '__main__':
    main()
