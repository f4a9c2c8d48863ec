#!/usr/bin/env python3
"""Writes the word-processor sources (HTML, DOCX, ODT) of the RTF writer fixtures.

Called by make_fixtures.sh with the folder to write into. The tables are those
of our own sample reports (samples/listings/road_hz.rtf, road_vt.rtf and
samples/cross/road_cr.rtf), read back from those files cell by cell, and laid
out as a person would lay them out in a word processor:

  title   a title paragraph above the table and a footer line below it
          ("End of listing")
  frame   the title, then the table inside a frame, then the footer
  split   the table split over two pages: a page break and a blank paragraph
          between the parts, the heading row(s) repeated on the second part
  head2   a heading cell of two lines (a line break inside the cell)
  enter   an Enter typed inside some cells (a cell of two paragraphs), and
          cells the reports may leave empty or follow with a unit: the first
          row's length left empty, an azimuth "62,500000" Enter "g"

The cross sections are cut to a few stations ("compact"), except the layout
"long", which keeps all 271 stations of the road, so that a reader that stops
early shows. Every source file is named <reader>_<layout>.<ext>.
"""

import html
import os
import re
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))

# Stations of the compact cross-section fixtures: the start, the extra lane
# tapering in, the wall, the end. Tables are written without cell borders,
# which some writers repeat for every cell.
COMPACT_STATIONS = ["12+340,000", "13+050,000", "14+200,000", "15+040,000"]


# ---- reading our own sample reports ----

def rtf_unescape(text):
    text = re.sub(r"\\'([0-9a-fA-F]{2})", lambda m: bytes([int(m.group(1), 16)]).decode("cp1252"),
                  text)
    text = re.sub(r"\\u(-?\d+)\?", lambda m: chr(int(m.group(1)) % 65536), text)
    text = re.sub(r"\\[a-z]+-?\d* ?", "", text)
    return text.replace("{", "").replace("}", "").strip()


def sample_rows(path):
    """The table rows of one of our sample reports, each a list of cell texts,
    and the number of the row where each table starts."""
    with open(os.path.join(ROOT, path), encoding="ascii") as f:
        rtf = f.read()
    rows = []
    for m in re.finditer(r"\\pard\\intbl(.*?)\\row", rtf):
        cells = m.group(1).split("\\cell")[:-1]
        rows.append([rtf_unescape(c) for c in cells])
    return rows


def hz_table():
    rows = [r for r in sample_rows("samples/listings/road_hz.rtf")]
    heading = rows[0]
    data = [r for r in rows if r != heading]
    assert len(data) == 12, len(data)
    return heading, data


def vt_table():
    rows = sample_rows("samples/listings/road_vt.rtf")
    heading, data = rows[0], rows[1:]
    assert len(data) == 15, len(data)
    return heading, data


def cr_stations(compact):
    """[(station row, titles row, point rows)]"""
    stations = []
    for row in sample_rows("samples/cross/road_cr.rtf"):
        if row[0] == "Estación":
            stations.append((row, None, []))
        elif stations[-1][1] is None:
            stations[-1] = (stations[-1][0], row, [])
        else:
            stations[-1][2].append(row)
    assert len(stations) == 271, len(stations)
    if compact:
        stations = [s for s in stations if s[0][1] in COMPACT_STATIONS]
        assert len(stations) == len(COMPACT_STATIONS)
    return stations


# ---- the documents as blocks ----
# A block is ("p", text), ("break",) (a page break), ("table", rows, heading
# row count) or ("frame", blocks). A cell is a text, ("paras", [texts]) (an
# Enter typed inside it) or ("br", [texts]) (a line break inside it).

TITLES = {
    "hz": ["LISTADO DE ALINEACIONES EN PLANTA", "Eje: Tronco — Fecha: 06/12/2026"],
    "vt": ["ESTADO DE RASANTES — Eje Tronco", "(acuerdos parabólicos)"],
    "cr": ["LISTADO DE SECCIONES TIPO — Eje Tronco", "Unidades: metros"],
}
FOOTER = "End of listing"


def titled(reader, body):
    return [("p", t) for t in TITLES[reader]] + body + [("p", FOOTER)]


def hz_blocks(layout):
    heading, data = hz_table()
    data = [list(r) for r in data]
    if layout == "split":
        return titled("hz", [("table", [heading] + data[:7], 1), ("break",), ("p", ""),
                             ("table", [heading] + data[7:], 1)])
    if layout == "head2":
        heading = list(heading)
        heading[2] = ("br", ["Coord.", "X"])
        heading[5] = ("br", ["Radio", "(m)"])
    if layout == "enter":
        data[0][1] = ""                          # the unused length of the first row
        data[2][4] = ("paras", [data[2][4], "g"])  # an azimuth followed by its unit
        data[5][0] = ("paras", [data[5][0], ""])   # an Enter after the chainage
    table = ("table", [heading] + data, 1)
    if layout == "frame":
        return titled("hz", [("frame", [table])])
    return titled("hz", [table])


def vt_blocks(layout):
    heading, data = vt_table()
    data = [list(r) for r in data]
    if layout == "split":
        # The page ends between the first and the second row of the third vertex.
        return titled("vt", [("table", [heading] + data[:7], 1), ("break",), ("p", ""),
                             ("table", [heading] + data[7:], 1)])
    if layout == "head2":
        heading = list(heading)
        heading[1] = ("br", ["P.K.", "vértice"])
        heading[4] = ("br", ["Pendiente", "(%)"])
    if layout == "enter":
        data[3][0] = ("paras", [data[3][0], "(acuerdo)"])
        data[3][6] = ("paras", [data[3][6], ""])
        data[7][4] = ("paras", [data[7][4], "%"])
    table = ("table", [heading] + data, 1)
    if layout == "frame":
        return titled("vt", [("frame", [table])])
    return titled("vt", [table])


def cr_blocks(layout):
    stations = cr_stations(compact=layout != "long")
    body = []
    for k, (station, titles, points) in enumerate(stations):
        points = [list(r) for r in points]
        if layout == "head2":
            titles = list(titles)
            titles[0] = ("br", ["Desp.", "(m)"])
        if layout == "enter" and k == 1:
            points[0][2] = ("paras", [points[0][2], "eje"])
            points[1][0] = ("paras", [points[1][0], ""])
        if layout == "split" and k == 2:
            # The station's table runs over a page end; its two heading rows
            # are repeated on the next page.
            body += [("table", [station, titles] + points[:3], 2), ("break",), ("p", ""),
                     ("table", [station, titles] + points[3:], 2), ("p", "")]
            continue
        table = ("table", [station, titles] + points, 2)
        body += [("frame", [table]) if layout == "frame" else table, ("p", "")]
    return titled("cr", body)


LAYOUTS = {
    "hz": ["title", "frame", "split", "head2", "enter"],
    "vt": ["title", "frame", "split", "head2", "enter"],
    "cr": ["title", "frame", "split", "head2", "enter", "long"],
}
BLOCKS = {"hz": hz_blocks, "vt": vt_blocks, "cr": cr_blocks}


# ---- HTML ----

def html_cell(cell, tag):
    if isinstance(cell, tuple) and cell[0] == "br":
        inner = "<br>".join(html.escape(t) for t in cell[1])
    elif isinstance(cell, tuple):
        inner = "".join("<p>%s</p>" % html.escape(t) for t in cell[1])
    else:
        inner = html.escape(cell)
    return "<%s>%s</%s>" % (tag, inner, tag)


def html_blocks(blocks):
    out = []
    for b in blocks:
        if b[0] == "p":
            out.append("<p>%s</p>" % (html.escape(b[1]) if b[1] else "&nbsp;"))
        elif b[0] == "break":
            out.append('<p style="page-break-before: always"></p>')
        elif b[0] == "frame":
            out.append('<div style="position: absolute; left: 1cm; top: 3cm; width: 17cm; '
                       'border: 1px solid black">')
            out += html_blocks(b[1])
            out.append("</div>")
        else:
            _, rows, heads = b
            out.append("<table>")
            out.append("<thead>")
            for r in rows[:heads]:
                out.append("<tr>" + "".join(html_cell(c, "th") for c in r) + "</tr>")
            out.append("</thead><tbody>")
            for r in rows[heads:]:
                out.append("<tr>" + "".join(html_cell(c, "td") for c in r) + "</tr>")
            out.append("</tbody></table>")
    return out


def write_html(path, blocks):
    text = ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Listado</title>"
            "</head>\n<body>\n" + "\n".join(html_blocks(blocks)) + "\n</body></html>\n")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


# ---- DOCX ----

def x(text):
    return html.escape(text, quote=True)


def docx_runs(texts, joiner):
    runs = []
    for i, t in enumerate(texts):
        if i:
            runs.append(joiner)
        if t:
            runs.append('<w:r><w:t xml:space="preserve">%s</w:t></w:r>' % x(t))
    return "".join(runs)


def docx_cell(cell, width):
    props = '<w:tcPr><w:tcW w:w="%d" w:type="dxa"/></w:tcPr>' % width
    if isinstance(cell, tuple) and cell[0] == "br":
        paras = ["<w:p>%s</w:p>" % docx_runs(cell[1], "<w:r><w:br/></w:r>")]
    elif isinstance(cell, tuple):
        paras = ["<w:p>%s</w:p>" % docx_runs([t], "") for t in cell[1]]
    else:
        paras = ["<w:p>%s</w:p>" % docx_runs([cell], "")]
    return "<w:tc>%s%s</w:tc>" % (props, "".join(paras))


def docx_blocks(blocks, floating=False):
    out = []
    for b in blocks:
        if b[0] == "p":
            out.append("<w:p>%s</w:p>" % docx_runs([b[1]], ""))
        elif b[0] == "break":
            out.append('<w:p><w:r><w:br w:type="page"/></w:r></w:p>')
        elif b[0] == "frame":
            out += docx_blocks(b[1], floating=True)
            out.append("<w:p/>")
        else:
            _, rows, heads = b
            n = len(rows[-1])
            width = 9600 // n
            float_props = ('<w:tblpPr w:leftFromText="142" w:rightFromText="142" '
                           'w:vertAnchor="text" w:horzAnchor="margin" w:tblpY="200"/>'
                           if floating else "")
            out.append('<w:tbl><w:tblPr>%s<w:tblW w:w="%d" w:type="dxa"/></w:tblPr>'
                       '<w:tblGrid>%s</w:tblGrid>'
                       % (float_props, width * n,
                          "".join('<w:gridCol w:w="%d"/>' % width for _ in range(n))))
            for k, r in enumerate(rows):
                head = "<w:trPr><w:tblHeader/></w:trPr>" if k < heads else ""
                cells = list(r)
                span = ""
                if len(cells) < n:  # a short row spans its last cell to the table's width
                    span = n - len(cells) + 1
                tcs = [docx_cell(c, width) for c in cells]
                if span:
                    tcs[-1] = tcs[-1].replace(
                        "<w:tcPr>", '<w:tcPr><w:gridSpan w:val="%d"/>' % span, 1)
                out.append("<w:tr>%s%s</w:tr>" % (head, "".join(tcs)))
            out.append("</w:tbl>")
    return out


def write_docx(path, blocks):
    body = "".join(docx_blocks(blocks))
    document = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">'
                '<w:body>%s<w:sectPr><w:pgSz w:w="11906" w:h="16838"/>'
                '<w:pgMar w:top="1134" w:right="1134" w:bottom="1134" w:left="1134" '
                'w:header="0" w:footer="0" w:gutter="0"/></w:sectPr></w:body></w:document>' % body)
    types = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
             '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
             '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.'
             'relationships+xml"/><Default Extension="xml" ContentType="application/xml"/>'
             '<Override PartName="/word/document.xml" ContentType="application/vnd.'
             'openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>')
    rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
            'relationships/officeDocument" Target="word/document.xml"/></Relationships>')
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", types)
        z.writestr("_rels/.rels", rels)
        z.writestr("word/document.xml", document)


# ---- ODT ----

def odt_cell(cell):
    if isinstance(cell, tuple) and cell[0] == "br":
        paras = ["<text:p>%s</text:p>" % "<text:line-break/>".join(x(t) for t in cell[1])]
    elif isinstance(cell, tuple):
        paras = ["<text:p>%s</text:p>" % x(t) for t in cell[1]]
    else:
        paras = ["<text:p>%s</text:p>" % x(cell)]
    return '<table:table-cell office:value-type="string">%s</table:table-cell>' % "".join(paras)


def odt_blocks(blocks, counter):
    out = []
    for b in blocks:
        if b[0] == "p":
            out.append("<text:p>%s</text:p>" % x(b[1]))
        elif b[0] == "break":
            out.append('<text:p text:style-name="PageBreak"/>')
        elif b[0] == "frame":
            counter[0] += 1
            out.append('<text:p><draw:frame draw:style-name="Frame" draw:name="Frame%d" '
                       'text:anchor-type="paragraph" svg:width="17cm" draw:z-index="0">'
                       '<draw:text-box fo:min-height="1cm">' % counter[0])
            out += odt_blocks(b[1], counter)
            out.append("</draw:text-box></draw:frame></text:p>")
        else:
            _, rows, heads = b
            counter[0] += 1
            n = len(rows[-1])
            out.append('<table:table table:name="Table%d"><table:table-column '
                       'table:number-columns-repeated="%d"/>' % (counter[0], n))
            out.append("<table:table-header-rows>")
            for k, r in enumerate(rows):
                if k == heads:
                    out.append("</table:table-header-rows>")
                cells = [odt_cell(c) for c in r]
                if len(r) < n:
                    cells[-1] = cells[-1].replace(
                        "<table:table-cell ",
                        '<table:table-cell table:number-columns-spanned="%d" ' % (n - len(r) + 1),
                        1) + "<table:covered-table-cell/>" * (n - len(r))
                out.append("<table:table-row>%s</table:table-row>" % "".join(cells))
            out.append("</table:table>")
    return out


def write_odt(path, blocks):
    ns = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
          'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
          'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
          'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
          'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
          'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
          'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
          'office:version="1.2"')
    styles = ('<office:automatic-styles>'
              '<style:style style:name="PageBreak" style:family="paragraph">'
              '<style:paragraph-properties fo:break-before="page"/></style:style>'
              '<style:style style:name="Frame" style:family="graphic">'
              '<style:graphic-properties fo:border="0.5pt solid #000000" '
              'style:wrap="none"/></style:style>'
              '</office:automatic-styles>')
    content = ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document-content %s>%s'
               '<office:body><office:text>%s</office:text></office:body>'
               '</office:document-content>' % (ns, styles, "".join(odt_blocks(blocks, [0]))))
    manifest = ('<?xml version="1.0" encoding="UTF-8"?>\n<manifest:manifest xmlns:manifest='
                '"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">'
                '<manifest:file-entry manifest:full-path="/" manifest:media-type="application/'
                'vnd.oasis.opendocument.text"/><manifest:file-entry manifest:full-path='
                '"content.xml" manifest:media-type="text/xml"/></manifest:manifest>')
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.text")
        z.writestr("META-INF/manifest.xml", manifest, zipfile.ZIP_DEFLATED)
        z.writestr("content.xml", content, zipfile.ZIP_DEFLATED)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for reader, layouts in LAYOUTS.items():
        for layout in layouts:
            blocks = BLOCKS[reader](layout)
            name = os.path.join(out, "%s_%s" % (reader, layout))
            write_html(name + ".html", blocks)
            write_docx(name + ".docx", blocks)
            write_odt(name + ".odt", blocks)


if __name__ == "__main__":
    main()
