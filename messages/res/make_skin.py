#!/usr/bin/env python3
# Writes NewsSkin.bmp, the tip's skin: 150 x 100, 24 bits. Frame (0,0,80,60) with magenta outside
# the rounded corners; close button states at y 60 (40 x 18 each), view button states at y 80
# (50 x 20 each): normal, hovered, pressed from left to right.
import struct

W, H = 150, 100
MAGENTA = (255, 0, 255)
BORDER = (31, 86, 140)
BODY = (236, 245, 252)
px = [[MAGENTA] * W for _ in range(H)]

def title(y):  # top band, lighter at the top
    t = y / 24.0
    return (int(96 - 36 * t), int(166 - 36 * t), int(232 - 32 * t))

def rounded_out(x, y, w, h, r=4):
    for cx, cy in ((r, r), (w - 1 - r, r), (r, h - 1 - r), (w - 1 - r, h - 1 - r)):
        inx = x < r if cx == r else x > w - 1 - r
        iny = y < r if cy == r else y > h - 1 - r
        if inx and iny and (x - cx) ** 2 + (y - cy) ** 2 > r * r + 1:
            return True
    return False

for y in range(60):
    for x in range(80):
        if rounded_out(x, y, 80, 60):
            continue
        if x == 0 or y == 0 or x == 79 or y == 59 or rounded_out(x, y, 80, 60, 3) is False and \
           any(rounded_out(x + dx, y + dy, 80, 60) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
            px[y][x] = BORDER
        elif y < 25:
            px[y][x] = title(y)
        else:
            px[y][x] = BODY

# Close button: on the title band; a white cross, red when hovered, dark red when pressed.
for state, bg in enumerate((None, (232, 17, 35), (160, 10, 20))):
    for y in range(18):
        for x in range(40):
            c = title(y + 1) if bg is None else bg
            if 15 <= x <= 24 and 4 <= y <= 13 and (abs((x - 15) - (y - 4)) <= 0 or abs((x - 15) - (13 - y)) <= 0):
                c = (255, 255, 255)
            px[60 + y][state * 40 + x] = c

# View button: a rounded, framed face on the body with a right-pointing arrow.
faces = ((214, 232, 248), (176, 214, 246), (118, 170, 222))
for state, face in enumerate(faces):
    for y in range(20):
        for x in range(50):
            if rounded_out(x, y, 50, 20, 3):
                c = BODY
            elif x == 0 or y == 0 or x == 49 or y == 19 or any(
                    rounded_out(x + dx, y + dy, 50, 20, 3) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                c = BORDER
            else:
                c = face
                if 21 <= x <= 28 and abs(y - 10) <= (28 - x) * 0.6:
                    c = BORDER
            px[80 + y][state * 50 + x] = c

row = (W * 3 + 3) & ~3
data = bytearray()
for y in range(H - 1, -1, -1):
    line = bytearray()
    for r, g, b in px[y]:
        line += bytes((b, g, r))
    data += line + bytes(row - len(line))
header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
open('NewsSkin.bmp', 'wb').write(header + info + data)
