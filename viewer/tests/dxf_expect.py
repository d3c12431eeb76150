#!/usr/bin/python3
"""What an independent reader (ezdxf) finds in a DXF file, in the terms of our drawing model.

Usage: dxf_expect.py FILE.dxf > expected.txt

Output lines (tab-separated):
  LAYER  name  colour                 one per layer table entry of the file, in order
  COUNT  layer  list  n               top-level entities per layer and entity list
  BLOCKS n                            BLOCK records in the BLOCKS section
  BLOCK  name  list  n                entities per entity list inside each named block
  ENT    layer  list  index  colour  values...   every top-level entity, in file order per list

ENT values by list: Point_ x y z; Line_ x1 y1 z1 x2 y2 z2; Circle_ cx cy cz r;
Arc_ cx cy cz r start end (degrees); Text_ x y z height text; Insert_ x y z sx sy sz rotation
attribs name; Polyline_ closed n x y z...; Face3D_/Solid_ n x y z...; Polygon_mesh_ m n count;
Polyface_mesh_ vertices faces. The colour is the entity's colour index, or its layer's when it
is 0 or 256 (by block, by layer).
"""
import collections
import sys

import ezdxf
from ezdxf.lldxf.tagger import ascii_tags_loader

LAYOUT_BLOCKS = {"*model_space", "*paper_space", "$model_space", "$paper_space"}


def list_name(e):
    t = e.dxftype()
    simple = {"LINE": "Line_", "POINT": "Point_", "CIRCLE": "Circle_", "ARC": "Arc_", "TEXT": "Text_",
              "SOLID": "Solid_", "3DFACE": "Face3D_", "INSERT": "Insert_", "ATTDEF": "Attdef_"}
    if t in simple:
        return simple[t]
    if t == "POLYLINE":
        mode = e.get_mode()
        if mode == "AcDbPolygonMesh":
            m, n = e.dxf.m_count, e.dxf.n_count
            return "Polygon_mesh_" if m > 0 and n > 0 and m * n == len(e.vertices) else None
        if mode == "AcDbPolyFaceMesh":
            return "Polyface_mesh_"
        return "Polyline_"
    return None


def fmt(v):
    return repr(float(v))


def xyz(p):
    return [fmt(p[0]), fmt(p[1]), fmt(p[2] if len(p) > 2 else 0.0)]


def values(e, kind):
    d = e.dxf
    if kind == "Point_":
        return xyz(d.location)
    if kind == "Line_":
        return xyz(d.start) + xyz(d.end)
    if kind == "Circle_":
        return xyz(d.center) + [fmt(d.radius)]
    if kind == "Arc_":
        return xyz(d.center) + [fmt(d.radius), fmt(d.start_angle), fmt(d.end_angle)]
    if kind == "Text_":
        return xyz(d.insert) + [fmt(d.height), d.text]
    if kind == "Insert_":
        scale = [d.get("xscale", 1.0) or 1.0, d.get("yscale", 1.0) or 1.0, d.get("zscale", 1.0) or 1.0]
        return xyz(d.insert) + [fmt(s) for s in scale] + [fmt(d.get("rotation", 0.0)), str(len(e.attribs)), d.name]
    if kind == "Polyline_":
        points = [v.dxf.location for v in e.vertices]
        closed = e.is_closed
        # An open polyline whose last vertex repeats the first is closed without the repeat.
        if not closed and points and tuple(points[0]) == tuple(points[-1]):
            closed = True
            points = points[:-1]
        out = ["1" if closed else "0", str(len(points))]
        for p in points:
            out += xyz(p)
        return out
    if kind in ("Face3D_", "Solid_"):
        corners = [d.vtx0, d.vtx1, d.vtx2, d.vtx3]
        if tuple(corners[2]) == tuple(corners[3]):
            corners = corners[:3]
        out = [str(len(corners))]
        for p in corners:
            out += xyz(p)
        return out
    if kind == "Polygon_mesh_":
        return [str(d.m_count), str(d.n_count), str(len(e.vertices))]
    if kind == "Polyface_mesh_":
        vertices = [v for v in e.vertices if v.is_poly_face_mesh_vertex]
        faces = [v for v in e.vertices if v.is_face_record]
        return [str(len(vertices)), str(len(faces))]
    return []


def block_count(path):
    with open(path, encoding="cp1252", errors="replace", newline=None) as stream:
        section, count, expect_name = None, 0, False
        for tag in ascii_tags_loader(stream):
            if expect_name:
                section = tag.value if tag.code == 2 else None
                expect_name = False
            elif tag.code == 0 and tag.value == "SECTION":
                expect_name = True
            elif tag.code == 0 and tag.value == "BLOCK" and section == "BLOCKS":
                count += 1
    return count


def main(path):
    doc = ezdxf.readfile(path)
    out = []
    with open(path, encoding="cp1252", errors="replace", newline=None) as stream:
        section, table, expect, entry = None, None, None, None
        for tag in ascii_tags_loader(stream):
            if expect == "section":
                section, expect = (tag.value if tag.code == 2 else None), None
            elif expect == "table":
                table, expect = (tag.value if tag.code == 2 else None), None
            elif tag.code == 0:
                if entry is not None:
                    out.append(["LAYER", entry[0], str(entry[1])])
                    entry = None
                if tag.value == "SECTION":
                    expect = "section"
                elif tag.value == "TABLE":
                    expect = "table"
                elif section == "TABLES" and table == "LAYER" and tag.value == "LAYER":
                    entry = [None, 0]
            elif entry is not None:
                if tag.code == 2 and entry[0] is None:
                    entry[0] = tag.value
                elif tag.code == 62:
                    entry[1] = int(tag.value)
    table_colour = {}
    for row in out:
        table_colour.setdefault(row[1], int(row[2]))
    counts = collections.Counter()
    index = collections.Counter()
    entities = list(doc.modelspace()) + list(doc.layouts.active_layout())
    for e in entities:
        kind = list_name(e)
        if kind is None:
            continue
        layer = e.dxf.layer
        counts[(layer, kind)] += 1
        colour = e.dxf.color
        if colour in (0, 256):
            colour = table_colour.get(layer, 0)
        out.append(["ENT", layer, kind, str(index[(layer, kind)]), str(colour)] + values(e, kind))
        index[(layer, kind)] += 1
    for (layer, kind), n in sorted(counts.items()):
        out.append(["COUNT", layer, kind, str(n)])
    out.append(["BLOCKS", str(block_count(path))])
    for block in doc.blocks:
        if block.name.lower() in LAYOUT_BLOCKS:
            continue
        per_list = collections.Counter(list_name(e) for e in block if list_name(e))
        for kind, n in sorted(per_list.items()):
            out.append(["BLOCK", block.name, kind, str(n)])
    for row in out:
        print("\t".join(row))


if __name__ == "__main__":
    main(sys.argv[1])
