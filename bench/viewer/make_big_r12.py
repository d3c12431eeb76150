#!/usr/bin/python3
"""Writes a large R12 drawing with ezdxf for the reader benchmark.

Usage: make_big_r12.py OUT.dxf [ENTITIES]

Entities are spread over 500 layers and 200 blocks: lines mostly, then circles, arcs, texts,
polylines of 8 vertices and inserts, in a fixed pseudo-random order.
"""
import random
import sys

import ezdxf


def main(path, count):
    rng = random.Random(12345)
    doc = ezdxf.new("R12")
    layers = [f"L{i:03d}" for i in range(500)]
    for i, name in enumerate(layers):
        doc.layers.add(name, color=1 + i % 255)
    for b in range(200):
        block = doc.blocks.new(f"B{b:03d}")
        block.add_line((0, 0), (1, 1))
        block.add_circle((0.5, 0.5), 0.25)
    msp = doc.modelspace()
    for i in range(count):
        attribs = {"layer": layers[rng.randrange(len(layers))]}
        x, y = rng.uniform(0, 1000), rng.uniform(0, 1000)
        kind = rng.random()
        if kind < 0.6:
            msp.add_line((x, y), (x + rng.uniform(-5, 5), y + rng.uniform(-5, 5)), dxfattribs=attribs)
        elif kind < 0.72:
            msp.add_circle((x, y), rng.uniform(0.1, 5), dxfattribs=attribs)
        elif kind < 0.82:
            msp.add_arc((x, y), rng.uniform(0.1, 5), rng.uniform(0, 360), rng.uniform(0, 360), dxfattribs=attribs)
        elif kind < 0.9:
            attribs["height"] = 1.0
            msp.add_text(f"T{i}", dxfattribs=attribs).set_placement((x, y))
        elif kind < 0.97:
            points = [(x + rng.uniform(-5, 5), y + rng.uniform(-5, 5)) for _ in range(8)]
            msp.add_polyline2d(points, dxfattribs=attribs)
        else:
            attribs["rotation"] = rng.uniform(0, 360)
            msp.add_blockref(f"B{rng.randrange(200):03d}", (x, y), dxfattribs=attribs)
    doc.saveas(path)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 200000)
