"""The window's shared scenarios (tests/window/scenarios.txt), as the page's test reads
them: the same file the desktop windows' tests read."""
import os
import re

SCENARIOS = os.path.join(os.path.dirname(__file__), "..", "window", "scenarios.txt")


def unescaped(written):
    """\\n, \\r and {TEXT*N} spelled out."""
    text = written.replace("\\n", "\n").replace("\\r", "\r")
    return re.sub(r"\{([^{}*]*)\*(\d+)\}", lambda m: m.group(1) * int(m.group(2)), text)


def read_scenarios(path=SCENARIOS):
    """[(name, table lines, [(line, action, argument, expected or None)])]"""
    scenarios = []
    table = []
    with open(path, encoding="utf-8") as file:
        for number, line in enumerate(file, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            first, _, rest = line.partition(" ")
            if first == "table":
                table = [unescaped(word) for word in rest.split()]
            elif first == "scenario":
                scenarios.append((rest.strip(), list(table), []))
            else:
                argument, _, expected = rest.partition("=>")
                if "=>" not in line:
                    argument, expected = "", line.partition("=>")[2]
                expected = expected.strip()
                scenarios[-1][2].append((number, first, unescaped(argument.strip()),
                                         None if expected == "-" else unescaped(expected)))
    return scenarios
