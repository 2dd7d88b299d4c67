#!/usr/bin/env python3
"""Keeps fault lists planted where their code lives: a fault whose text is no
longer in its file once moves to the one source file that holds it once.
   python3 scripts/rehome-faults.py tests/faults/*.txt
Prints what moved and what it could not place (gone, or in several files)."""
import pathlib, subprocess, sys

root = pathlib.Path(__file__).resolve().parent.parent
sources = [p for p in subprocess.run(['git', 'ls-files', '--cached', '--others', '--exclude-standard'], cwd=root, capture_output=True, text=True).stdout.split()
           if not p.startswith('tests/') and p.endswith(('.cpp', '.h', '.map', '.ui', '.txt'))]
texts = {p: (root / p).read_text(encoding='utf-8', errors='replace') for p in sources}
status = 0
for name in sys.argv[1:]:
    lines = pathlib.Path(name).read_text(encoding='utf-8').split('\n')
    for n, line in enumerate(lines):
        if not line.strip() or line.lstrip().startswith('#'):
            continue
        path, rest = line.split(' | ', 1)
        old = (rest + ' ').split(' | ', 1)[0].strip()
        if texts.get(path.strip(), '').count(old) == 1:
            continue
        homes = [p for p, t in texts.items() if t.count(old) == 1]
        if len(homes) == 1:
            lines[n] = homes[0] + ' | ' + rest
            print(f'{name}:{n + 1}: {path.strip()} -> {homes[0]}')
        else:
            status = 1
            print(f'{name}:{n + 1}: not placed ({len(homes)} files hold it once): {old[:70]}')
    pathlib.Path(name).write_text('\n'.join(lines), encoding='utf-8')
sys.exit(status)
