#!/usr/bin/env python3
"""Samples a Windows program running under Wine and judges whether its figures stay flat.

    soak-sampler.py --pid PID --wineserver PID --minutes M [--interval S] --csv FILE

Every S seconds (default 30) it reads, from the Linux side (Wine's own counters for
private bytes and handles read 0):
  private_kib      the program's private memory: RssAnon of /proc/PID/status
  working_set_kib  the program's working set: VmRSS
  threads          the program's thread count: Threads
  handles          the program's open handles: the entries of /proc/PID/fd
  wineserver_kib   the Wine server's working set: VmRSS of the wineserver
and appends one CSV row. After M minutes it judges each series on the samples taken
after the first minute (start-up, definitions and the first checks settle there):

  A series is flat when the growth of its least-squares line over that stretch (slope
  times the stretch's length) is at most the allowed noise: for memory the larger of
  256 KiB and 1 % of the series' median, for threads and handles 2. (A 20-minute run thus
  notices a leak of about 15 KiB a minute, a 2-minute run one of about 300 KiB a minute.)

It prints the table, each series' start, end, minimum, maximum, slope per minute and
verdict, and exits 0 when every series is flat, 1 when one grows or the program ends
early, 2 on bad arguments.
"""

import argparse
import csv
import os
import statistics
import sys
import time

FIELDS = ["elapsed_s", "private_kib", "working_set_kib", "threads", "handles", "wineserver_kib"]
MEMORY = {"private_kib", "working_set_kib", "wineserver_kib"}
SETTLE_S = 60


def status_fields(pid):
    values = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            key, _, rest = line.partition(":")
            values[key] = rest.split()[0] if rest.split() else ""
    return values


def sample(pid, server, started):
    program = status_fields(pid)
    server_status = status_fields(server)
    return {
        "elapsed_s": round(time.monotonic() - started, 1),
        "private_kib": int(program.get("RssAnon", 0)),
        "working_set_kib": int(program.get("VmRSS", 0)),
        "threads": int(program.get("Threads", 0)),
        "handles": len(os.listdir(f"/proc/{pid}/fd")),
        "wineserver_kib": int(server_status.get("VmRSS", 0)),
    }


def slope(xs, ys):
    """Least-squares slope of ys over xs (per unit of x)."""
    mx, my = statistics.fmean(xs), statistics.fmean(ys)
    sxx = sum((x - mx) ** 2 for x in xs)
    if sxx == 0:
        return 0.0
    return sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sxx


def allowed_growth(field, values):
    if field in MEMORY:
        return max(256.0, 0.01 * statistics.median(values))
    return 2.0


def judge(rows):
    """(field, first, last, min, max, slope per minute, growth, allowed, flat) per series."""
    settled = [r for r in rows if r["elapsed_s"] >= SETTLE_S]
    if len(settled) < 3:
        return None
    xs = [r["elapsed_s"] for r in settled]
    span = xs[-1] - xs[0]
    verdicts = []
    for field in FIELDS[1:]:
        ys = [r[field] for r in settled]
        per_second = slope(xs, ys)
        growth = per_second * span
        allowed = allowed_growth(field, ys)
        verdicts.append((field, ys[0], ys[-1], min(ys), max(ys), per_second * 60, growth, allowed,
                         growth <= allowed))
    return verdicts


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--wineserver", type=int, required=True)
    parser.add_argument("--minutes", type=float, required=True)
    parser.add_argument("--interval", type=float, default=30.0)
    parser.add_argument("--csv", required=True)
    args = parser.parse_args()
    if args.minutes <= 0 or args.interval <= 0:
        parser.error("--minutes and --interval must be positive")

    started = time.monotonic()
    end = started + args.minutes * 60
    rows = []
    ended_early = False
    with open(args.csv, "w", newline="") as out:
        writer = csv.DictWriter(out, fieldnames=FIELDS)
        writer.writeheader()
        next_at = started
        while True:
            try:
                row = sample(args.pid, args.wineserver, started)
            except (OSError, ValueError):
                ended_early = True
                break
            rows.append(row)
            writer.writerow(row)
            out.flush()
            print(",".join(str(row[f]) for f in FIELDS), flush=True)
            next_at += args.interval
            if next_at > end + 0.5:
                break
            time.sleep(max(0.0, next_at - time.monotonic()))

    if ended_early:
        print(f"soak: the program (pid {args.pid}) or the Wine server ended after "
              f"{time.monotonic() - started:.0f} s", file=sys.stderr)
        return 1
    verdicts = judge(rows)
    if verdicts is None:
        print("soak: too few samples after the first minute to judge", file=sys.stderr)
        return 1
    print()
    print(f"{'series':16} {'first':>9} {'last':>9} {'min':>9} {'max':>9} {'slope/min':>10} "
          f"{'growth':>9} {'allowed':>9}  verdict")
    for field, first, last, low, high, per_minute, growth, allowed, flat in verdicts:
        print(f"{field:16} {first:>9} {last:>9} {low:>9} {high:>9} {per_minute:>10.2f} "
              f"{growth:>9.1f} {allowed:>9.1f}  {'flat' if flat else 'GROWS'}")
    flat = all(v[-1] for v in verdicts)
    print(f"soak: {'flat' if flat else 'NOT flat'} after the first minute "
          f"({len(rows)} samples every {args.interval:g} s over {args.minutes:g} min)")
    return 0 if flat else 1


if __name__ == "__main__":
    sys.exit(main())
