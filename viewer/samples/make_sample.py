#!/usr/bin/python3
"""Writes sample.dxf, the drawing ./dev.sh run opens: a small floor plan in R12 ASCII DXF.

Run with Debian's python3-ezdxf: /usr/bin/python3 make_sample.py
"""
import ezdxf

doc = ezdxf.new("R12")
doc.layers.new("WALLS", dxfattribs={"color": 5})
doc.layers.new("DOORS", dxfattribs={"color": 1})
doc.layers.new("FURNITURE", dxfattribs={"color": 3})
doc.layers.new("NOTES", dxfattribs={"color": 6})

window = doc.blocks.new(name="WINDOW", base_point=(0, 0))
window.add_line((0, 0), (10, 0), dxfattribs={"layer": "0"})
window.add_line((0, 1), (10, 1), dxfattribs={"layer": "0"})
window.add_line((0, 0), (0, 1), dxfattribs={"layer": "0"})
window.add_line((10, 0), (10, 1), dxfattribs={"layer": "0"})

msp = doc.modelspace()
# Outer walls and two rooms.
msp.add_polyline2d([(0, 0), (100, 0), (100, 60), (0, 60)], close=True, dxfattribs={"layer": "WALLS"})
msp.add_polyline2d([(2, 2), (58, 2), (58, 58), (2, 58)], close=True, dxfattribs={"layer": "WALLS"})
msp.add_polyline2d([(62, 2), (98, 2), (98, 58), (62, 58)], close=True, dxfattribs={"layer": "WALLS"})
msp.add_line((58, 30), (62, 30), dxfattribs={"layer": "WALLS"})
# Doors: a leaf and its swing.
msp.add_line((58, 10), (48, 10), dxfattribs={"layer": "DOORS"})
msp.add_arc((58, 10), 10, 90, 180, dxfattribs={"layer": "DOORS"})
msp.add_line((40, 0), (40, -10), dxfattribs={"layer": "DOORS"})
msp.add_arc((40, 0), 10, 270, 360, dxfattribs={"layer": "DOORS"})
# Furniture: a round table with chairs, a bed.
msp.add_circle((30, 35), 8, dxfattribs={"layer": "FURNITURE"})
for x, y in ((30, 46), (30, 24), (19, 35), (41, 35)):
    msp.add_circle((x, y), 2.5, dxfattribs={"layer": "FURNITURE"})
msp.add_polyline2d([(70, 30), (90, 30), (90, 55), (70, 55)], close=True, dxfattribs={"layer": "FURNITURE"})
msp.add_line((70, 50), (90, 50), dxfattribs={"layer": "FURNITURE"})
# Windows in the outer walls.
for x in (10, 25, 70, 85):
    msp.add_blockref("WINDOW", (x, 59.5), dxfattribs={"layer": "WALLS"})
msp.add_blockref("WINDOW", (100.5, 20), dxfattribs={"layer": "WALLS", "rotation": 90})
msp.add_text("Planview sample", dxfattribs={"layer": "NOTES", "height": 3}).set_pos((5, 64))
msp.add_point((50, 30), dxfattribs={"layer": "NOTES"})

doc.saveas("sample.dxf")
