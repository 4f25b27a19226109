#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs ampvane-cli's JSON outputs for real and validates each against its schema in schemas/.

Usage: check_json_schemas.py AMPVANE_CLI SOURCE_DIR
A schema that no longer describes what the program writes fails here, and so does an output whose
shape changed without its schema."""
import json
import os
import subprocess
import sys
import tempfile

import jsonschema

cli, source = sys.argv[1], sys.argv[2]
sample = os.path.join(source, "app", "cli", "sample_project.txt")
schemas = os.path.join(source, "schemas")


def load(name):
    with open(os.path.join(schemas, name), encoding="utf-8") as f:
        return json.load(f)


estimators = load("estimators.schema.json")
propellers = load("propeller.schema.json")


def estimator(name):
    return {"$ref": "#/definitions/" + name, "definitions": estimators["definitions"]}


def propeller(name):
    return {"$ref": "#/definitions/" + name, "definitions": propellers["definitions"]}


# A measured propeller imported into the data folder before the propeller commands run.
propeller_csv = ("rpm,J,CT,CP\n3000,0,0.12,0.052\n3000,0.3,0.095,0.048\n3000,0.6,0.045,0.035\n3000,0.8,0,0.02\n"
                 "9000,0,0.118,0.05\n9000,0.3,0.093,0.046\n9000,0.6,0.043,0.033\n9000,0.8,-0.005,0.018\n")


# (schema, arguments, exit status): complete results, and incomplete ones whose nulls must fit too.
cases = [
    (load("report.schema.json"), ["report", "--format", "json"], 0),
    (load("report.schema.json"), ["report", sample, "--format", "json"], 0),
    (load("report.schema.json"), ["inflight", sample, "--row", "2", "--format", "json"], 0),
    (load("report.schema.json"), ["inflight", sample, "--row", "1", "--throttle", "60", "--format", "json"], 0),
    (load("wizard.schema.json"), ["wizard", sample, "--format", "json"], 0),
    (estimator("motor-from-tests"), ["motor", "from-tests", "7.2", "1.5", "16000", "6.0", "12", "11000",
                                     "--format", "json"], 0),
    (estimator("motor-from-tests"), ["motor", "from-tests", "7.2", "1.5", "11000", "7.2", "12", "16000",
                                     "--format", "json"], 1),
    (estimator("motor-from-catalog"), ["motor", "from-catalog", "--voltage", "7.2", "--rpm", "14000",
                                       "--stall-current", "60", "--max-efficiency-current", "12", "--format", "json"], 0),
    (estimator("motor-from-catalog"), ["motor", "from-catalog", "--voltage", "7.2", "--rpm", "14000",
                                       "--format", "json"], 1),
    (estimator("motor-rewind"), ["motor", "rewind", "--turns", "7", "--new-turns", "9", "--kv", "2350",
                                 "--no-load-current", "2.7", "--resistance", "0.048", "--weight", "9.5",
                                 "--gauge", "20", "--format", "json"], 0),
    (estimator("prop-constants"), ["prop-constants", "--kv", "2350", "--no-load-current", "2.7", "--resistance",
                                   "0.048", "--voltage", "6.7", "--current", "15.2", "--diameter", "10", "--pitch",
                                   "7", "--gear-ratio", "2.38", "--thrust", "17.6", "--format", "json"], 0),
    (estimator("fan-coefficients"), ["fan-coefficients", "--kv", "3000", "--no-load-current", "3", "--current", "30",
                                     "--fan-diameter", "3.5", "--hub-diameter", "1.5", "--rpm", "30000", "--thrust",
                                     "32", "--efflux", "100", "--format", "json"], 0),
    (estimator("fan-pitch"), ["fan-pitch", "--diameter", "3.5", "--angle", "30", "--format", "json"], 0),
    (estimator("fan-pitch"), ["fan-pitch", "--format", "json"], 1),
    (estimator("airfoil"), ["airfoil", "--code", "-1161622", "--span", "60", "--area", "660", "--format", "json"], 0),
    (propeller("list"), ["propeller", "list", "--format", "json"], 0),
    (propeller("show"), ["propeller", "show", "Wood", "--format", "json"], 0),
    (propeller("show-point"), ["propeller", "show", "Wood", "--rpm", "6000", "--speed", "30", "--format", "json"], 0),
    (propeller("fit"), ["propeller", "fit", "Wood", "--format", "json"], 0),
    (propeller("compare"), ["propeller", "compare", "Wood", sample, "--format", "json"], 0),
    (propeller("compare"), ["propeller", "compare", "Wood", "--throttle", "50", "--prop-constant", "1.2",
                            "--thrust-constant", "1.0", "--format", "json"], 0),
]

failures = 0
with tempfile.TemporaryDirectory() as data:
    environment = dict(os.environ, AMPVANE_DATA_DIR=os.path.join(data, "data"))
    csv = os.path.join(data, "wood.csv")
    with open(csv, "w", encoding="utf-8") as f:
        f.write(propeller_csv)
    imported = subprocess.run([cli, "propeller", "import", csv, "--name", "Wood", "--diameter", "11", "--pitch", "7"],
                              capture_output=True, text=True, env=environment)
    if imported.returncode != 0:
        print("FAIL propeller import: " + imported.stderr)
        failures += 1
    for schema, arguments, status in cases:
        run = subprocess.run([cli] + arguments, capture_output=True, text=True, env=environment)
        name = " ".join(a if a != sample else "SAMPLE" for a in arguments)
        try:
            if run.returncode != status:
                raise AssertionError("exit status %d, expected %d: %s" % (run.returncode, status, run.stderr))
            if status != 0 and not run.stderr.strip():
                raise AssertionError("refused without saying why on standard error")
            jsonschema.Draft7Validator(schema).validate(json.loads(run.stdout))
        except (AssertionError, ValueError, jsonschema.ValidationError) as error:
            failures += 1
            print("FAIL %s\n  %s" % (name, str(error).splitlines()[0] if str(error) else error))
        else:
            print("ok   %s" % name)
for name in sorted(os.listdir(schemas)):
    jsonschema.Draft7Validator.check_schema(load(name))
sys.exit(1 if failures else 0)
