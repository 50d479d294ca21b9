#!/usr/bin/python3
"""Python's xlrd reading every cell of every worksheet of a .xls workbook. Prints the number of
cells that hold a value.

usage: bench/peer_xlrd.py WORKBOOK.xls
"""
import sys

import xlrd


def main():
    book = xlrd.open_workbook(sys.argv[1])
    filled = 0
    for sheet in book.sheets():
        for r in range(sheet.nrows):
            for value in sheet.row_values(r):
                if value != "":
                    filled += 1
    print(filled)


main()
