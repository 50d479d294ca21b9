#!/usr/bin/python3
"""The peer a user would script with: openpyxl in read-only mode merely iterating every cell of
every worksheet. Prints the number of cells that hold a value.

usage: bench/peer_openpyxl.py WORKBOOK.xlsx
"""
import sys

import openpyxl


def main():
    book = openpyxl.load_workbook(sys.argv[1], read_only=True, data_only=True)
    filled = 0
    for sheet in book.worksheets:
        for row in sheet.iter_rows(values_only=True):
            for value in row:
                if value is not None:
                    filled += 1
    book.close()
    print(filled)


main()
