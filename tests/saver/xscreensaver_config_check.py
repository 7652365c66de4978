"""Checks XScreenSaver's description of the saver: well-formed XML in its settings format,
naming the saver, giving the --root command and a description."""
import sys
import xml.etree.ElementTree as ElementTree


def main(path):
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
    descriptions = root.findall("_description")
    if len(descriptions) != 1 or not (descriptions[0].text or "").strip():
        problems.append("there is not exactly one non-empty _description")
    with open(path, "rb") as raw:
        if any(byte > 0x7E for byte in raw.read()):
            problems.append("the file is not plain ASCII (it declares ISO-8859-1)")
    for problem in problems:
        print(f"xscreensaver_config_check: {path}: {problem}", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
