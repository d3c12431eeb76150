#!/usr/bin/python3
"""Writes an R12 DXF file with every entity kind our reader knows, using ezdxf.

Usage: make_fixture.py OUT.dxf
"""
import sys

import ezdxf


def main(path):
    doc = ezdxf.new("R12")
    doc.layers.add("WALLS", color=5)
    doc.layers.add("DOORS", color=2)
    doc.layers.add("HIDDEN", color=4).off()  # stored as colour -4
    msp = doc.modelspace()

    # A block with an attribute definition, a nested insert and a self-contained shape.
    inner = doc.blocks.new("INNER", base_point=(1, 1))
    inner.add_line((1, 1), (3, 1))
    door = doc.blocks.new("DOOR", base_point=(0, 0))
    door.add_line((0, 0), (0, 2))
    door.add_arc((0, 0), 2, 0, 90)
    door.add_circle((1, 1), 0.25)
    door.add_attdef("NUMBER", (0.1, 0.1), dxfattribs={"height": 0.2, "prompt": "Door number"})
    door.add_blockref("INNER", (5, 5))

    msp.add_point((1.5, -2.25, 0.5), dxfattribs={"layer": "WALLS"})
    msp.add_line((0, 0, 0), (10, 0, 0), dxfattribs={"layer": "WALLS"})
    msp.add_line((10, 0, 0), (10, 8, 1), dxfattribs={"layer": "WALLS", "color": 1})
    msp.add_line((0, 8), (0, 0), dxfattribs={"layer": "HIDDEN"})
    msp.add_circle((5, 4), 1.5, dxfattribs={"layer": "WALLS", "color": 7})
    msp.add_circle((2, 2), 0.5, dxfattribs={"layer": "WALLS", "extrusion": (0, 0, -1)})
    msp.add_arc((5, 4), 3, 350, 10, dxfattribs={"layer": "WALLS"})
    msp.add_arc((5, 4), 2, 0, 360, dxfattribs={"layer": "WALLS"})
    msp.add_text("Room 101", dxfattribs={"layer": "DOORS", "height": 0.5, "insert": (2, 6)})
    centred = msp.add_text("Centre", dxfattribs={"layer": "DOORS", "height": 0.25})
    centred.set_placement((5, 7), align=ezdxf.enums.TextEntityAlignment.CENTER)
    msp.add_solid([(0, 0), (1, 0), (1, 1)], dxfattribs={"layer": "DOORS"})
    msp.add_solid([(2, 0), (3, 0), (2, 1), (3, 1)], dxfattribs={"layer": "DOORS"})
    msp.add_3dface([(0, 0, 0), (1, 0, 0), (1, 1, 1)], dxfattribs={"layer": "DOORS"})
    msp.add_3dface([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)], dxfattribs={"layer": "DOORS"})
    msp.add_polyline2d([(0, 0), (4, 0), (4, 3), (0, 3)], close=True, dxfattribs={"layer": "WALLS"})
    msp.add_polyline2d([(0, 0), (4, 0), (4, 3), (0, 0)], dxfattribs={"layer": "WALLS"})
    msp.add_polyline2d([(6, 6), (7, 6), (7, 7)], dxfattribs={"layer": "WALLS"})
    msp.add_polyline3d([(0, 0, 0), (1, 1, 1), (2, 0, 2)], dxfattribs={"layer": "WALLS"})
    mesh = msp.add_polymesh((2, 3), dxfattribs={"layer": "WALLS"})
    for m in range(2):
        for n in range(3):
            mesh.set_mesh_vertex((m, n), (n, m, m * n))
    face = msp.add_polyface(dxfattribs={"layer": "WALLS"})
    face.append_face([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)])
    face.append_face([(1, 0, 0), (2, 0, 0), (1, 1, 0)])
    ref = msp.add_blockref("DOOR", (20, 10), dxfattribs={"layer": "DOORS", "rotation": 90, "xscale": 2,
                                                         "yscale": 2, "zscale": 2})
    ref.add_attrib("NUMBER", "D1", (20.2, 10.2), dxfattribs={"height": 0.4})
    msp.add_blockref("DOOR", (30, 10), dxfattribs={"layer": "DOORS"})
    msp.add_blockref("INNER", (0, -5), dxfattribs={"layer": "WALLS"})
    doc.saveas(path)


if __name__ == "__main__":
    main(sys.argv[1])
