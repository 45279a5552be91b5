#!/usr/bin/env python3
"""The policy template and its language files agree, and the installers read what it writes.

    check-templates.py POLICY-FOLDER NSIS-SCRIPT MSI-SOURCE

Every file is well-formed XML; every $(string.X) and $(presentation.X) the template names
is in each language file, and each language file has nothing the template does not name;
every presentation's boxes name the elements of its policy; every policy writes under
HKLM\\SOFTWARE\\Policies\\ZombieCure with its own value name; and the value that asks for
the machine-wide log-on value is the one both installers read. Prints one line per fault.
"""
import re
import sys
import xml.etree.ElementTree as ET

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
KEY = "SOFTWARE\\Policies\\ZombieCure"
LANGUAGES = ("ko-KR", "en-US")


def main(folder, nsis, msi):
    faults = []
    admx = ET.parse(f"{folder}/ZombieCure.admx").getroot()
    text = open(f"{folder}/ZombieCure.admx", encoding="utf-8").read()
    strings = set(re.findall(r"\$\(string\.([A-Za-z0-9_]+)\)", text))
    presentations = set(re.findall(r"\$\(presentation\.([A-Za-z0-9_]+)\)", text))

    elements = {}
    value_names = []
    for policy in admx.iterfind(".//p:policies/p:policy", NS):
        name = policy.get("name")
        if policy.get("key") != KEY:
            faults.append(f"{name}: key {policy.get('key')}, not {KEY}")
        if policy.get("class") != "Machine":
            faults.append(f"{name}: class {policy.get('class')}, not Machine")
        ids = set()
        for element in policy.iterfind("p:elements/*", NS):
            ids.add(element.get("id"))
            value_names.append(element.get("valueName"))
        if policy.get("valueName"):
            value_names.append(policy.get("valueName"))
        presentation = re.fullmatch(r"\$\(presentation\.(\w+)\)", policy.get("presentation") or "")
        if presentation:
            elements[presentation.group(1)] = ids
        elif ids:
            faults.append(f"{name}: elements without a presentation")
    if len(value_names) != len(set(value_names)) or None in value_names:
        faults.append(f"value names missing or used twice: {value_names}")

    for language in LANGUAGES:
        adml = ET.parse(f"{folder}/{language}/ZombieCure.adml").getroot()
        have = {s.get("id") for s in adml.iterfind(".//p:stringTable/p:string", NS)}
        for missing in sorted(strings - have):
            faults.append(f"{language}: no string {missing}")
        for extra in sorted(have - strings):
            faults.append(f"{language}: string {extra} is not used by the template")
        shown = {}
        for presentation in adml.iterfind(".//p:presentationTable/p:presentation", NS):
            shown[presentation.get("id")] = {box.get("refId") for box in presentation}
        for missing in sorted(presentations - set(shown)):
            faults.append(f"{language}: no presentation {missing}")
        for pid, refs in shown.items():
            if pid in elements and refs != elements[pid]:
                faults.append(f"{language}: presentation {pid} shows {sorted(refs)}, its policy has {sorted(elements[pid])}")

    for installer in (nsis, msi):
        source = open(installer, encoding="utf-8").read()
        if "StartAtLogonForAllUsers" not in value_names or '"StartAtLogonForAllUsers"' not in source:
            faults.append(f"{installer} does not read the policy value StartAtLogonForAllUsers")
        if KEY not in source:
            faults.append(f"{installer} does not read {KEY}")

    for fault in faults:
        print("FAIL:", fault)
    print(f"{len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
