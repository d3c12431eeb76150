#!/usr/bin/python3
"""Writes an R12 drawing for the DXF-to-document import tests, using ezdxf: every entity kind
the import converts, blocks inserted turned, scaled, mirrored and nested, texts and attributes
inside inserts, a block that inserts itself, geometry seen from below (extrusion (0, 0, -1))
and a line far outside the header's extents.

Usage: make_import_fixture.py OUT.dxf
"""
import sys

import ezdxf
from ezdxf.enums import TextEntityAlignment


def blocks(doc):
    door = doc.blocks.new("DOOR", base_point=(1, 1))
    door.add_line((1, 1), (1, 3))
    door.add_arc((1, 1), 2, 0, 90)
    door.add_circle((2, 2), 0.25)
    door.add_attdef("NUMBER", (1.1, 1.1), dxfattribs={"height": 0.2})
    door.add_text("D", dxfattribs={"height": 0.5, "insert": (1.5, 2)})
    door.add_text("mid", dxfattribs={"height": 0.25}).set_placement((2, 1.5), align=TextEntityAlignment.CENTER)
    door.add_polyline2d([(1, 1), (2, 1), (2, 2)], close=True)
    frame = doc.blocks.new("FRAME")
    frame.add_line((0, 0), (4, 0))
    frame.add_blockref("DOOR", (2, 0), dxfattribs={"rotation": 30})
    frame.add_circle((0, 4), 1, dxfattribs={"extrusion": (0, 0, -1)})
    ring = doc.blocks.new("RING")
    ring.add_circle((0, 0), 1)
    ring.add_arc((0, 0), 2, 20, 110)
    ring.add_line((0, 0), (3, 0))
    selfish = doc.blocks.new("SELF")
    selfish.add_line((0, 0), (1, 1))
    selfish.add_blockref("SELF", (2, 2))


def main(path):
    doc = ezdxf.new("R12")
    for name, colour in (("WALLS", 5), ("DOORS", 2), ("TEXTS", 3), ("MESH", 4), ("FAR", 1)):
        doc.layers.add(name, color=colour)
    blocks(doc)
    msp = doc.modelspace()

    msp.add_line((0, 0), (100, 0), dxfattribs={"layer": "WALLS"})
    msp.add_line((0.0004, 0.0005), (33.3333, 66.6667), dxfattribs={"layer": "WALLS"})
    msp.add_line((1e12, 0), (1e12 + 1, 0), dxfattribs={"layer": "FAR"})
    msp.add_circle((50, 40), 10, dxfattribs={"layer": "WALLS"})
    msp.add_circle((5, 4), 1.5, dxfattribs={"layer": "WALLS", "extrusion": (0, 0, -1)})
    msp.add_arc((50, 40), 12, 350, 10, dxfattribs={"layer": "WALLS"})
    msp.add_arc((20, 20), 3, 30, 300, dxfattribs={"layer": "WALLS", "extrusion": (0, 0, -1)})
    msp.add_arc((70, 20), 2, 0, 450, dxfattribs={"layer": "WALLS"})
    msp.add_text("Room 101", dxfattribs={"layer": "TEXTS", "height": 2, "insert": (10, 70)})
    msp.add_text("Centre", dxfattribs={"layer": "TEXTS", "height": 1.5}).set_placement(
        (50, 75), align=TextEntityAlignment.CENTER)
    msp.add_text("Right", dxfattribs={"layer": "TEXTS", "height": 1}).set_placement(
        (90, 75), align=TextEntityAlignment.RIGHT)
    msp.add_text("flat", dxfattribs={"layer": "TEXTS", "height": 0, "insert": (1, 1)})
    msp.add_polyline2d([(10, 10), (20, 10), (20, 20), (10, 20)], close=True, dxfattribs={"layer": "WALLS"})
    msp.add_polyline2d([(30, 10), (40, 10), (40, 20), (30, 10)], dxfattribs={"layer": "WALLS"})
    msp.add_polyline2d([(5, 5), (6, 5), (6, 7)], dxfattribs={"layer": "WALLS", "extrusion": (0, 0, -1)})
    msp.add_polyline3d([(60, 60, 0), (70, 62, 5), (75, 70, 1)], dxfattribs={"layer": "WALLS"})
    msp.add_3dface([(80, 10, 0), (90, 10, 0), (90, 20, 0)], dxfattribs={"layer": "MESH"})
    msp.add_3dface([(80, 30, 0), (90, 30, 0), (90, 40, 0), (80, 40, 1)], dxfattribs={"layer": "MESH"})
    mesh = msp.add_polymesh((3, 4), dxfattribs={"layer": "MESH", "flags": 16 | 32})
    for m in range(3):
        for n in range(4):
            mesh.set_mesh_vertex((m, n), (60 + n * 2, 5 + m * 3, m))
    face = msp.add_polyface(dxfattribs={"layer": "MESH"})
    face.append_face([(10, 40, 0), (15, 40, 0), (15, 45, 0), (10, 45, 0)])
    face.append_face([(15, 40, 0), (20, 42, 0), (15, 45, 0)])
    msp.add_solid([(0, 50), (1, 50), (1, 51)], dxfattribs={"layer": "WALLS"})
    msp.add_point((3, 3), dxfattribs={"layer": "WALLS"})

    msp.add_blockref("DOOR", (10, 30), dxfattribs={"layer": "DOORS"})
    msp.add_blockref("DOOR", (30, 30), dxfattribs={"layer": "DOORS", "rotation": 45, "xscale": 2, "yscale": 2,
                                                    "zscale": 2})
    msp.add_blockref("DOOR", (50, 30), dxfattribs={"layer": "DOORS", "rotation": 30, "xscale": -1})
    msp.add_blockref("DOOR", (60, 50), dxfattribs={"layer": "DOORS", "rotation": 200, "yscale": -1.5,
                                                    "xscale": 1.5, "zscale": 1.5})
    tagged = msp.add_blockref("DOOR", (70, 30), dxfattribs={"layer": "DOORS", "rotation": 90})
    tagged.add_attrib("NUMBER", "12", (70.5, 31), dxfattribs={"height": 0.4})
    tagged.add_attrib("OWNER", "hidden", (70.5, 32), dxfattribs={"height": 0.3, "flags": 1})
    msp.add_blockref("FRAME", (40, 60), dxfattribs={"layer": "DOORS", "rotation": 90, "xscale": 0.5,
                                                     "yscale": 0.5, "zscale": 0.5})
    msp.add_blockref("SELF", (80, 60), dxfattribs={"layer": "DOORS"})
    # Scaled x and y apart: upright (circles become upright ellipses) and turned (the box
    # around the turned ellipse).
    msp.add_blockref("DOOR", (20, 50), dxfattribs={"layer": "DOORS", "xscale": 2, "yscale": 1})
    msp.add_blockref("RING", (90, 50), dxfattribs={"layer": "DOORS", "xscale": 3, "yscale": 1})
    msp.add_blockref("RING", (90, 70), dxfattribs={"layer": "DOORS", "xscale": 1, "yscale": 2, "rotation": 35})
    doc.saveas(path)
    stale_extents(path, (-10, -10, 0), (110, 90, 0))


def stale_extents(path, low, high):
    """The header's extents as a writer that did not update them leaves them: they miss the
    far line. (ezdxf writes its own on saving, so they are put in afterwards.)"""
    with open(path, encoding="cp1252") as stream:
        lines = stream.read().split("\n")
    for name, point in (("$EXTMIN", low), ("$EXTMAX", high)):
        at = lines.index(name)
        for k in range(3):
            lines[at + 2 + 2 * k] = repr(float(point[k]))
    with open(path, "w", encoding="cp1252") as stream:
        stream.write("\n".join(lines))


if __name__ == "__main__":
    main(sys.argv[1])
