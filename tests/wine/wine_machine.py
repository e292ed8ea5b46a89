#!/usr/bin/env python3
"""Make the Wine variant of a machine description, for the tests that run the
shipped Pullcore.dll with simulated setupapi.dll and wevtapi.dll (whose
answers come from the description) next to Wine's real kernel32 and advapi32.

Usage: wine_machine.py SAMPLE LETTERS MACHINE_OUT REG_OUT

LETTERS are the drive letters the Wine prefix has (e.g. CEFGHIJZ). Wine's
QueryDosDeviceW answers \\Device\\HarddiskVolumeN for them, numbered in letter
order from 1, so the description is renumbered to agree:
- a volume device whose physicalObjectName was a letter's DOS target takes
  that letter's Wine volume; the other names keep theirs unless Wine gives
  one of them away, which is an error;
- a holder's image path on an old volume moves to that letter's Wine volume;
- "dosDevices" becomes what Wine answers.
REG_OUT is a .reg file (UTF-16, "Windows Registry Editor Version 5.00")
with the description's SYSTEM\\MountedDevices values as REG_BINARY, for
`wine reg import`: the real advapi32 reads them from the prefix.
"""
import json
import sys


def wine_targets(letters):
    return {f"{l.upper()}:": f"\\Device\\HarddiskVolume{i + 1}"
            for i, l in enumerate(sorted(set(letters.upper())))}


def renumber(machine, wine):
    names = {d.get("physicalObjectName") for d in machine["devices"]} - {None}
    moved = {}
    for letter, targets in machine.get("dosDevices", {}).items():
        if letter in wine and len(targets) == 1 and targets[0] in names:
            moved[targets[0]] = wine[letter]
    kept = names - set(moved)
    clash = kept & set(wine.values())
    if clash:
        sys.exit(f"wine_machine.py: Wine gives {sorted(clash)} to another letter")
    for device in machine["devices"]:
        name = device.get("physicalObjectName")
        if name in moved:
            device["physicalObjectName"] = moved[name]
        for holder in device.get("holders", []):
            head, sep, rest = holder["image"][len("\\Device\\"):].partition("\\")
            old = "\\Device\\" + head
            if holder["image"].startswith("\\Device\\") and old in moved:
                holder["image"] = moved[old] + sep + rest
    machine["dosDevices"] = {letter: [target] for letter, target in wine.items()}


def reg_text(machine):
    values = machine.get("localMachine", {}).get("SYSTEM\\MountedDevices", {})
    lines = ["Windows Registry Editor Version 5.00", "",
             "[HKEY_LOCAL_MACHINE\\SYSTEM\\MountedDevices]"]
    for name, value in values.items():
        if value.get("type", 3) != 3:
            sys.exit(f"wine_machine.py: {name} is not REG_BINARY")
        data = value["text"].encode("utf-16-le") if "text" in value else bytes.fromhex(value["hex"])
        quoted = name.replace("\\", "\\\\")
        lines.append(f'"{quoted}"=hex:' + ",".join(f"{b:02x}" for b in data))
    return "\r\n".join(lines) + "\r\n"


def main():
    sample, letters, machine_out, reg_out = sys.argv[1:5]
    with open(sample, encoding="utf-8") as f:
        machine = json.load(f)
    renumber(machine, wine_targets(letters))
    with open(machine_out, "w", encoding="utf-8") as f:
        json.dump(machine, f, ensure_ascii=False, indent=1)
    with open(reg_out, "w", encoding="utf-16") as f:
        f.write(reg_text(machine))


if __name__ == "__main__":
    main()
