#!/usr/bin/env python3
"""Writes a tree of small, valid PDF files for the counting benchmark.

Usage: make_pdf_tree.py DIR [FOLDERS] [FILES_PER_FOLDER] [TOTAL_FILES]

DIR gets 100 top folders with nine subfolders each (1,000 folders by default) and
FILES_PER_FOLDER files in every folder; with TOTAL_FILES, that many files are spread as
evenly as they go over the folders instead (2,000 files in 1,100 folders gives one or two
a folder). Page counts vary from 1 to 40; every fifth file uses a two-level page tree.
Prints the number of files and the total of their pages.
"""
import os
import sys


def make_pdf(pages, nested):
    """A PDF with a classic cross-reference table; `nested` splits the pages over two
    intermediate page-tree nodes."""
    objects = ["<< /Type /Catalog /Pages 2 0 R >>"]
    page_ids = list(range(3 + (2 if nested else 0), 3 + (2 if nested else 0) + pages))
    if nested:
        half = pages // 2
        groups = [(3, page_ids[:half]), (4, page_ids[half:])]
        objects.append("<< /Type /Pages /Kids [3 0 R 4 0 R] /Count %d >>" % pages)
        for _, kids in groups:
            objects.append("<< /Type /Pages /Parent 2 0 R /Kids [%s] /Count %d >>" %
                           (" ".join("%d 0 R" % k for k in kids), len(kids)))
        parent_of = {k: node for node, kids in groups for k in kids}
    else:
        objects.append("<< /Type /Pages /Kids [%s] /Count %d >>" %
                       (" ".join("%d 0 R" % k for k in page_ids), pages))
        parent_of = {k: 2 for k in page_ids}
    for k in page_ids:
        objects.append("<< /Type /Page /Parent %d 0 R /MediaBox [0 0 612 792] >>" %
                       parent_of[k])
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n%s\nendobj\n" % (number, body.encode())
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, xref)
    return bytes(out)


def main():
    root = sys.argv[1]
    folders = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    per_folder = int(sys.argv[3]) if len(sys.argv) > 3 else 10
    total = int(sys.argv[4]) if len(sys.argv) > 4 and sys.argv[4] else None
    tops = max(1, folders // 10)
    paths = []
    for top in range(tops):
        paths.append(os.path.join(root, "dir%03d" % top))
        for sub in range(folders // tops - 1):
            paths.append(os.path.join(root, "dir%03d" % top, "sub%d" % sub))
    files = pages_total = 0
    cache = {}
    for index, folder in enumerate(paths):
        os.makedirs(folder, exist_ok=True)
        if total is not None:
            per_folder = total * (index + 1) // len(paths) - total * index // len(paths)
        for n in range(per_folder):
            pages = 1 + (index * 7 + n * 13) % 40
            nested = (index + n) % 5 == 0 and pages > 1
            key = (pages, nested)
            if key not in cache:
                cache[key] = make_pdf(pages, nested)
            with open(os.path.join(folder, "doc%02d.pdf" % n), "wb") as f:
                f.write(cache[key])
            files += 1
            pages_total += pages
    print("%d %d" % (files, pages_total))


if __name__ == "__main__":
    main()
