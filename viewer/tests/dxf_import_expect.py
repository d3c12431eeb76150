#!/usr/bin/python3
"""Where an independent reader (ezdxf) puts each entity of a DXF file in document units, for
checking the DXF-to-document import.

Usage: dxf_import_expect.py FILE.dxf SCALE_X SCALE_Y MIN_X MAX_Y [FLAGS]

Document point of a world point (x, y): (round((x - MIN_X)*SCALE_X*1000), round((MAX_Y - y)*SCALE_Y*1000)),
rounded half to even; a point beyond +-MAX_COORD does not fit and its entity is skipped.
Inserts are followed through ezdxf's own virtual_entities(), recursively.

Output lines (tab-separated), one per control, in no particular order:
  CURVE  layer  solid  points            points: "x,y" or "x,y:type" (type of a figure end)
  ELLIPSE  layer  left top right bottom
  ARC    layer  left top right bottom  begin  end   (thousandths of a degree, 0..359999)
  TEXT   layer  anchor_x  anchor_y  font_height  alignment  text
  GROUP  layer  name
and at the end:
  SKIPPED  n                          entities left out because a point did not fit
"""
import math
import sys

import ezdxf
from ezdxf.math import OCS, Vec3

MAX_COORD = 1073741823
MAX_NESTING = 256
PT_END, PT_END_CLOSE = 1, 2


class Skip(Exception):
    pass


class Oracle:
    def __init__(self, sx, sy, minx, maxy, flags):
        self.sx, self.sy, self.minx, self.maxy, self.flags = sx, sy, minx, maxy, flags
        self.lines = []
        self.skipped = 0

    def map(self, p):
        x = round((p[0] - self.minx) * self.sx * 1000.0)
        y = round((self.maxy - p[1]) * self.sy * 1000.0)
        if abs(x) > MAX_COORD or abs(y) > MAX_COORD:
            raise Skip()
        return x, y

    def emit(self, *fields):
        self.lines.append("\t".join(str(f) for f in fields))

    # ---- entities --------------------------------------------------------------------------
    def entity(self, e, layer, stack):
        t = e.dxftype()
        try:
            if t == "LINE":
                self.curve(layer, 0, [self.map(e.dxf.start), self.map(e.dxf.end)])
            elif t == "3DFACE":
                corners = [e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx2, e.dxf.vtx3]
                if Vec3(corners[2]) == Vec3(corners[3]):
                    corners = corners[:3]
                self.curve(layer, 1, [self.map(c) for c in corners])
            elif t == "POLYLINE":
                self.polyline(e, layer)
            elif t == "CIRCLE":
                self.emit("ELLIPSE", layer, *self.circle_rect(e))
            elif t == "ARC":
                self.arc(e, layer)
            elif t == "ELLIPSE":  # a circle or an arc that ezdxf placed scaled x and y apart
                self.ellipse(e, layer)
            elif t in ("TEXT", "ATTRIB"):
                self.text(e, layer)
            elif t == "INSERT":
                self.insert(e, layer, stack)
        except Skip:
            self.skipped += 1

    def curve(self, layer, solid, points, types=None):
        if types is None:
            types = [0] * (len(points) - 1) + [PT_END_CLOSE if solid else PT_END]
        text = " ".join(f"{x},{y}" + (f":{k}" if k else "") for (x, y), k in zip(points, types))
        self.emit("CURVE", layer, solid, text)

    def polyline(self, e, layer):
        mode = e.get_mode()
        if mode == "AcDbPolygonMesh":
            m, n = e.dxf.m_count, e.dxf.n_count
            if m <= 0 or n <= 0 or m * n != len(e.vertices):
                return
            points = [self.map(v.dxf.location) for v in e.vertices]
            closed_m, closed_n = e.is_m_closed, e.is_n_closed
            if self.flags & 4:
                self.emit("GROUP", layer, "POLYLINE")
            for r in range(m):
                row = points[r * n:(r + 1) * n]
                self.curve(layer, 1 if closed_n else 0, row)
            columns, types = [], []
            for j in range(n):
                for r in range(m):
                    columns.append(points[r * n + j])
                    types.append((PT_END_CLOSE if closed_m else PT_END) if r == m - 1 else 0)
            self.curve(layer, 1 if closed_m else 0, columns, types)
            return
        if mode == "AcDbPolyFaceMesh":
            vertices = [v for v in e.vertices if v.is_poly_face_mesh_vertex]
            faces = []
            for f in (v for v in e.vertices if v.is_face_record):
                corners = []
                for code in ("vtx0", "vtx1", "vtx2", "vtx3"):
                    i = f.dxf.get(code, 0)
                    index = abs(i) - 1 if i != 0 else -1
                    if index < 0 or index >= len(vertices):
                        break
                    corners.append(self.map(vertices[index].dxf.location))
                if corners:
                    faces.append(corners)
            if self.flags & 8:
                self.emit("GROUP", layer, "POLYLINE")
            for corners in faces:
                self.curve(layer, 1, corners)
            return
        ocs = OCS(e.dxf.get("extrusion", (0, 0, 1)))
        raw = [Vec3(v.dxf.location) for v in e.vertices]
        closed = e.is_closed
        if not closed and raw and raw[0] == raw[-1]:
            closed, raw = True, raw[:-1]
        if not raw:
            raise Skip()
        wcs = [ocs.to_wcs(p) for p in raw] if mode == "AcDb2dPolyline" else raw
        self.curve(layer, 1 if closed else 0, [self.map(p) for p in wcs])

    def placed_circle(self, e):
        ocs = OCS(e.dxf.get("extrusion", (0, 0, 1)))
        return ocs.to_wcs(e.dxf.center), abs(e.dxf.radius), ocs

    def circle_rect(self, e):
        c, r, _ = self.placed_circle(e)
        x1, y1 = self.map((c.x - r, c.y + r))
        x2, y2 = self.map((c.x + r, c.y - r))
        left, top, right, bottom = min(x1, x2), min(y1, y2), max(x1, x2), max(y1, y2)
        # A control is at least one unit wide and high.
        return left, top, max(right, left + 1), max(bottom, top + 1)

    def arc(self, e, layer):
        rect = self.circle_rect(e)
        _, _, ocs = self.placed_circle(e)
        ends = []
        for a in (e.dxf.start_angle, e.dxf.end_angle):
            d = ocs.to_wcs(Vec3(math.cos(math.radians(a)), math.sin(math.radians(a)), 0))
            ends.append(math.degrees(math.atan2(d.y, d.x)))
        if ocs.uz.z < 0:  # seen from above the arc runs the other way round
            ends.reverse()
        self.emit("ARC", layer, *rect, *(round(a * 1000.0) % 360000 for a in ends))

    def ellipse(self, e, layer):
        c = Vec3(e.dxf.center)
        major = Vec3(e.dxf.major_axis)
        extrusion = Vec3(e.dxf.get("extrusion", (0, 0, 1)))
        minor = extrusion.cross(major).normalize(major.magnitude * e.dxf.ratio)
        # The box around the ellipse, however it is turned.
        hx, hy = math.hypot(major.x, minor.x), math.hypot(major.y, minor.y)
        x1, y1 = self.map((c.x - hx, c.y + hy))
        x2, y2 = self.map((c.x + hx, c.y - hy))
        rect = (min(x1, x2), min(y1, y2), max(max(x1, x2), min(x1, x2) + 1), max(max(y1, y2), min(y1, y2) + 1))
        start, end = e.dxf.start_param, e.dxf.end_param
        if math.isclose(abs(end - start), math.tau) or end == start:
            self.emit("ELLIPSE", layer, *rect)
            return
        ends = []
        for t in (start, end):
            d = major * math.cos(t) + minor * math.sin(t)
            ends.append(math.degrees(math.atan2(d.y, d.x)))
        if extrusion.z < 0:
            ends.reverse()
        self.emit("ARC", layer, *rect, *(round(a * 1000.0) % 360000 for a in ends))

    def text(self, e, layer):
        height = round(abs(e.dxf.height) * self.sy * 1000.0)
        if height == 0:
            return
        if height > MAX_COORD:
            raise Skip()
        align = e.dxf.get("halign", 0)
        point = e.dxf.get("align_point", None)
        if point is None or Vec3(point) == Vec3(0, 0, 0):
            point = e.dxf.insert
        ocs = OCS(e.dxf.get("extrusion", (0, 0, 1)))
        x, y = self.map(ocs.to_wcs(point))
        alignment = {0: 0, 1: 2, 2: 1}.get(align, 0)
        self.emit("TEXT", layer, x, y, height + 2, alignment, e.dxf.text)

    def insert(self, e, layer, stack):
        if self.flags & 2:
            self.emit("GROUP", layer, "INSERT")
        for a in e.attribs:
            self.entity(a, layer, stack)
        name = e.dxf.name
        if name in stack or len(stack) >= MAX_NESTING:
            return  # a block that inserts itself is entered once
        if self.flags & 1:
            self.emit("GROUP", layer, name)
        for v in e.virtual_entities():
            self.entity(v, layer, stack + [name])


def main(path, sx, sy, minx, maxy, flags):
    doc = ezdxf.readfile(path)
    oracle = Oracle(sx, sy, minx, maxy, flags)
    for e in list(doc.modelspace()) + list(doc.layouts.active_layout()):
        oracle.entity(e, e.dxf.layer, [])
    for line in oracle.lines:
        print(line)
    print(f"SKIPPED\t{oracle.skipped}")


if __name__ == "__main__":
    a = sys.argv
    main(a[1], float(a[2]), float(a[3]), float(a[4]), float(a[5]), int(a[6]) if len(a) > 6 else 3)
