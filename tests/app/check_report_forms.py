#!/usr/bin/env python3
"""korvane-cli's JSON and CSV reports, read with Python's own parsers, against its text reports.

    check_report_forms.py CLI MISSION_OR_FOLDER...

For every mission (a folder stands for every .mis and .cow below it) the check, loot and links
commands run in all three forms. The JSON must parse and the CSV must come back byte for byte
through Python's csv module; both must hold exactly the figures and names of the text report,
which is read here by its layout alone, and the exit status must not depend on the form.
"""
import csv
import io
import json
import pathlib
import re
import subprocess
import sys


def run(cli, *args):
    done = subprocess.run([cli, *args], capture_output=True, check=False)
    if done.returncode not in (0, 1):
        raise AssertionError(f"{args}: status {done.returncode}: {done.stderr.decode()}")
    return done.returncode, done.stdout.decode("utf-8")


def csv_records(text):
    rows = list(csv.reader(io.StringIO(text, newline="")))
    again = io.StringIO(newline="")
    csv.writer(again, lineterminator="\r\n").writerows(rows)
    assert again.getvalue() == text, "CSV does not round-trip"
    header, body = rows[0], rows[1:]
    assert all(len(r) == len(header) for r in body), "CSV rows of another width"
    return [dict(zip(header, r)) for r in body]


def section(records, name):
    return [r for r in records if r["section"] == name]


def need_text(n):
    if n["what"].startswith("S"):
        return f"needs special {n['what']}, which no loot object holds"
    return f"needs {n['needs']} in {n['what']}, the mission holds {n['holds']}"


def compare_check(cli, mission, extra):
    status, text = run(cli, "check", mission, *extra)
    js_status, js = run(cli, "check", mission, *extra, "--format", "json")
    csv_status, csv_text = run(cli, "check", mission, *extra, "--format", "csv")
    assert status == js_status == csv_status, "statuses differ"
    report = json.loads(js)
    rows = csv_records(csv_text)
    lines = text.split("\n")
    assert (status == 0) == (lines[0] == "No typical errors detected")
    assert report["file"] == pathlib.Path(mission).name

    death = [(int(m[1]), m[2]) for l in lines if (m := re.fullmatch(r" - Object ID (-?\d+) \((.*)\)", l))]
    assert death == [(d["object_id"], d["name"]) for d in report["death_stage_12"]]
    assert death == [(int(r["object_id"]), r["name"]) for r in section(rows, "death_stage_12")]

    dup = re.compile(r" - (\d+) identical (.+?) (?:from|at) object ID (-?\d+) \((.*)\) "
                     r"(?:to object|for stim|with stim) ID (-?\d+) \((.*)\)")
    dups = [(int(m[1]), m[2], int(m[3]), m[4], int(m[5]), m[6]) for l in lines if (m := dup.fullmatch(l))]
    assert dups == [(d["count"], d["kind"], d["source_id"], d["source_name"], d["dest_id"],
                     d["dest_name"]) for d in report["duplicate_links"]]
    assert dups == [(int(r["count"]), r["kind"], int(r["source_id"]), r["source_name"],
                     int(r["dest_id"]), r["dest_name"]) for r in section(rows, "duplicate_links")]

    problems = [l[1:] for l in lines if l.startswith(" wtf? ")]
    assert problems == [p["message"] for p in report["link_data_problems"]]
    assert problems == [r["message"] for r in section(rows, "link_data_problem")]

    goals = [(int(m[1]), m[2], m[3]) for l in lines if (m := re.fullmatch(r" - Goal (\d+) on (\w+) (.*)", l))]
    assert goals == [(g["goal"], g["difficulty"], need_text(g)) for g in report["unreachable_loot_goals"]]
    assert goals == [(int(r["goal"]), r["difficulty"], need_text(r))
                     for r in section(rows, "unreachable_loot_goal")]
    return len(death) + len(dups) + len(goals)


def compare_loot(cli, mission, extra):
    _, text = run(cli, "loot", mission, *extra)
    report = json.loads(run(cli, "loot", mission, *extra, "--format", "json")[1])
    rows = csv_records(run(cli, "loot", mission, *extra, "--format", "csv")[1])
    lines = text.split("\n")
    col = lines[2].index("Dif.")
    dashes = [i for i, l in enumerate(lines) if l and set(l) == {"-"}]

    def figures(line):
        fields = line[col:].split(" ")
        fields = [f for f in fields if f]
        return [int(f) for f in fields[:4]], ",".join(fields[4:])

    objects = []
    for l in lines[dashes[0] + 1:dashes[1]]:
        m = re.fullmatch(r"(.*) \((-?\d+)\)(\*?)", l[:col].rstrip())
        numbers, special = figures(l[:col] + l[col + 3:])
        objects.append((int(m[2]), m[1], l[col:col + 3], *numbers, special, m[3] == "*"))
    letters = {"Normal": "N", "Hard": "H", "Expert": "E"}
    assert objects == [(o["object_id"], o["name"],
                        "".join(letters[d] if d in o["difficulties"] else "-" for d in letters),
                        o["total"], o["gold"], o["gems"], o["art"], ",".join(o["special"]),
                        o["contained"]) for o in report["objects"]]
    assert [o[:8] for o in objects] == [(int(r["object_id"]), r["name"], r["difficulties"],
                                         int(r["total"]), int(r["gold"]), int(r["gems"]),
                                         int(r["art"]), r["special"]) for r in section(rows, "object")]

    totals = [(l[:col].strip(), *figures(l)[0]) for l in lines[dashes[1] + 1:dashes[1] + 5]]
    assert totals == [(t["row"], t["total"], t["gold"], t["gems"], t["art"]) for t in report["totals"]]
    assert totals == [(r["name"], int(r["total"]), int(r["gold"]), int(r["gems"]), int(r["art"]))
                      for r in section(rows, "total")]

    def after(heading):
        if heading not in lines:
            return []
        start = lines.index(heading) + 1
        end = lines.index("", start) if "" in lines[start:] else len(lines)
        return lines[start:end]

    ann = re.compile(r"(.*) \((-?\d+)\) +is contained by (.*) \((-?\d+)\)")
    containers = [(int(m[2]), m[1], int(m[4]), m[3]) for m in map(ann.fullmatch, after("Annotations:"))]
    assert containers == [(c["object_id"], c["object_name"], c["container_id"], c["container_name"])
                          for c in report["containers"]]
    assert containers == [(int(r["object_id"]), r["name"], int(r["container_id"]), r["container_name"])
                          for r in section(rows, "container")]

    goal = re.compile(r"Goal (\d+) \((\w+)\): (?:reachable|unreachable: (.*))")
    goals = [(int(m[1]), m[2], m[3] or "") for m in map(goal.fullmatch, after("Loot goals:"))]
    assert goals == [(g["goal"], g["difficulty"], "; ".join(map(need_text, g["unmet"])))
                     for g in report["loot_goals"]]
    assert goals == [(int(r["goal"]), r["difficulty"], r["unmet"]) for r in section(rows, "loot_goal")]
    return len(objects) + len(goals)


def compare_links(cli, mission):
    _, text = run(cli, "links", mission)
    report = json.loads(run(cli, "links", mission, "--format", "json")[1])
    rows = csv_records(run(cli, "links", mission, "--format", "csv")[1])
    links = [tuple(int(v) for v in l.split(", ")) for l in text.split("\n") if l]
    assert links == [(l["link_id"], l["source"], l["dest"], l["flavor"]) for l in report["links"]]
    assert links == [(int(r["link_id"]), int(r["source"]), int(r["dest"]), int(r["flavor"])) for r in rows]
    return len(links)


def main():
    cli, places = sys.argv[1], [pathlib.Path(p) for p in sys.argv[2:]]
    missions = []
    for place in places:
        if place.is_dir():
            missions += sorted(p for p in place.rglob("*") if p.suffix.lower() in (".mis", ".cow"))
        elif place.exists():
            missions.append(place)
    failed = 0
    for mission in missions:
        extra = ["--gamesys-dir", str(mission.parent)]
        try:
            found = compare_check(cli, str(mission), extra)
            listed = compare_loot(cli, str(mission), extra)
            links = compare_links(cli, str(mission))
            print(f"{mission.name}: {found} findings, {listed} loot rows and goals, {links} links agree")
        except AssertionError as e:
            failed += 1
            print(f"{mission}: the forms disagree: {e}")
    if not missions:
        print("no missions given")
        return 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
