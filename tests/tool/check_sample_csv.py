# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a sample export as a spreadsheet would and checks it against the
kept text export of the same file (tests/data/*.export.txt).

check_sample_csv.py OUT.csv REFERENCE.export.txt ROWS RUNS TEMP_HUMIDITY PRESSURE
Prints the first problem and exits 1; exits 0 when all is well.
"""
import csv
import re
import sys
from datetime import datetime

COLUMNS = ["time", "run", "bqm3", "error_bqm3", "pulses", "temperature_c",
           "humidity_percent", "pressure_kpa"]


def fail(text):
    print(text)
    sys.exit(1)


def main():
    path, reference, rows, runs, environment, pressure = sys.argv[1:]
    rows, runs = int(rows), int(runs)
    channels = {"temperature_c": environment == "1", "humidity_percent": environment == "1",
                "pressure_kpa": pressure == "1"}
    with open(path, newline="", encoding="utf-8") as f:
        table = list(csv.DictReader(f))
        if f.newlines not in ("\n", "\r\n"):
            fail("mixed line ends: %r" % (f.newlines,))
    with open(reference, encoding="ascii") as f:
        kept = [line.rstrip("\r\n").rstrip("; ").split("; ") for line in f][1:]

    if len(table) != rows:
        fail("%d rows, the decode has %d samples" % (len(table), rows))
    if table and list(table[0].keys()) != COLUMNS:
        fail("columns %s" % list(table[0].keys()))
    last = {}
    for n, row in enumerate(table):
        if not re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d", row["time"]):
            fail("row %d: time %r" % (n, row["time"]))
        time = datetime.fromisoformat(row["time"])
        run = int(row["run"])
        if not 0 <= run < runs:
            fail("row %d: run %d of %d" % (n, run, runs))
        if run in last and time <= last[run]:
            fail("row %d: %s not after %s in run %d" % (n, time, last[run], run))
        last[run] = time
        values = {}
        for column in COLUMNS[2:]:
            text = row[column]
            if column in channels and not channels[column]:
                if text != "":
                    fail("row %d: %s %r for a model without it" % (n, column, text))
                continue
            try:
                values[column] = float(text)
            except ValueError:
                fail("row %d: %s %r is no number" % (n, column, text))
        # The kept export: YY/MM/DD HH:mm and whole numbers, row for row.
        line = kept[n]
        if time.strftime("%y/%m/%d %H:%M") != line[0]:
            fail("row %d: %s, the text export has %s" % (n, row["time"], line[0]))
        pairs = [("bqm3", 1), ("error_bqm3", 2)]
        if len(line) > 3:
            pairs += [("temperature_c", 3), ("humidity_percent", 4), ("pressure_kpa", 5)]
        for column, i in pairs:
            if abs(values[column] - float(line[i])) > 0.5006:
                fail("row %d: %s %s, the text export has %s" % (n, column, values[column],
                                                                 line[i]))
    if len(last) != runs:
        fail("rows for %d runs of %d" % (len(last), runs))


main()
