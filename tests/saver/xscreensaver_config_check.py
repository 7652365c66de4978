"""Checks XScreenSaver's description of the saver: well-formed XML in its settings format,
naming the saver, giving the --root command and a description, with a slider for the number of
curves and one for the speed whose defaults pass no option. Given the program, it also runs it
with every value each slider can give, as the settings dialog writes them, and expects each to
be accepted."""
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

SLIDERS = {"curves": "--curves %", "speed": "--speed %"}


def slider_values(number):
    """Every value the settings dialog can write for a slider other than its default: whole
    numbers for a whole-number range, else steps of 0.01 written as "%.4f" less trailing zeros."""
    low, high, default = (number.get(k) for k in ("low", "high", "default"))
    whole = not any("." in text for text in (low, high, default))
    if whole:
        values = [str(v) for v in range(int(low), int(high) + 1) if v != int(default)]
    else:
        lo, hi, de = (round(float(t) * 100) for t in (low, high, default))
        values = []
        for hundredths in range(lo, hi + 1):
            if hundredths == de:
                continue
            text = "%.4f" % (hundredths / 100)
            values.append(text.rstrip("0").rstrip("."))
    return values


def check_program(program, root, problems):
    command = [program] + root.find("command").get("arg").split()
    for number in root.findall("number"):
        option = number.get("arg").split()[0]
        for value in slider_values(number):
            command += [option, value]
    # --help last: it ends the parse only after every setting before it was read.
    result = subprocess.run(command + ["--help"], capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        problems.append(f"the program refuses a slider's value: {result.stderr.strip()}")


def main(path, program=None):
    problems = []
    try:
        root = ElementTree.parse(path).getroot()
    except (ElementTree.ParseError, OSError) as error:
        print(f"xscreensaver_config_check: {path}: {error}", file=sys.stderr)
        return 1
    if root.tag != "screensaver":
        problems.append(f"the root element is <{root.tag}>, not <screensaver>")
    if root.get("name") != "spirals":
        problems.append(f"the saver is named {root.get('name')!r}, not 'spirals'")
    if not root.get("_label"):
        problems.append("the saver has no _label")
    commands = [c.get("arg") for c in root.findall("command")]
    if commands != ["--root"]:
        problems.append(f"the command arguments are {commands}, not ['--root']")
    numbers = {n.get("id"): n for n in root.findall("number")}
    if sorted(numbers) != sorted(SLIDERS):
        problems.append(f"the settings are {sorted(numbers)}, not {sorted(SLIDERS)}")
    for name, number in numbers.items():
        if number.get("type") != "slider" or number.get("arg") != SLIDERS.get(name):
            problems.append(f"{name}: not a slider passing {SLIDERS.get(name)!r}")
        if number.get("default") != number.get("low") or number.get("_low-label") != "As drawn":
            problems.append(f"{name}: the default is not the left end labelled 'As drawn'")
    descriptions = root.findall("_description")
    if len(descriptions) != 1 or not (descriptions[0].text or "").strip():
        problems.append("there is not exactly one non-empty _description")
    with open(path, "rb") as raw:
        if any(byte > 0x7E for byte in raw.read()):
            problems.append("the file is not plain ASCII (it declares ISO-8859-1)")
    if program and not problems:
        check_program(program, root, problems)
    for problem in problems:
        print(f"xscreensaver_config_check: {path}: {problem}", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
