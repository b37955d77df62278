#!/usr/bin/env python3
"""Adversarial runs of dtmorph: out of memory, wrong numbers, fuzzed command lines, long names,
signals during a write, inputs that are no pictures, progress and Ctrl+C, messages. Prints a
Markdown table of category, cases tried and failures, then each failure.

    python3 tools/stress.py SANITIZED_DTMORPH RELEASE_DTMORPH

The memory, signal and terminal cases use the Release binary (AddressSanitizer ends a process
that runs out of memory, and slows the long runs); the rest use the sanitized one. It takes a few
minutes and 1 GB of disk in the temporary folder.
"""
import os
import pty
import random
import select
import signal
import subprocess
import sys
import tempfile
import time

SANITIZED, RELEASE = sys.argv[1], sys.argv[2]
folder = tempfile.mkdtemp(prefix='dtmorph-stress-')
table, failures = [], []


def run(binary, args, limit=None, timeout=120):
    """Runs dtmorph (in an address space of limit bytes); (status, stdout, stderr)."""
    quoted = ["'" + a.replace("'", "'\\''") + "'" for a in [binary] + args]
    line = (f'ulimit -v {limit // 1024}; ' if limit else '') + ' '.join(quoted)
    try:
        done = subprocess.run(['bash', '-c', line], capture_output=True, timeout=timeout,
                              stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return 'timeout', '', ''
    return (done.returncode, done.stdout.decode(errors='replace'),
            done.stderr.decode(errors='replace'))


def path(name):
    return os.path.join(folder, name)


def picture(name, w, h, white):
    """Writes a w x h XPM whose pixel (x, y) is white when white(x, y); returns its path."""
    with open(path(name), 'w') as f:
        f.write(f'"{w} {h} 2 1",\n". c #000000",\n"# c #ffffff",\n')
        for y in range(h):
            f.write('"' + ''.join('#' if white(x, y) else '.' for x in range(w)) + '",\n')
        f.write('};\n')
    return path(name)


def category(name, cases, fails):
    """Runs fails(case) for each case (a text when the case failed) and adds a table row."""
    failed = 0
    for case in cases:
        why = fails(case)
        if why:
            failed += 1
            failures.append(f'{name}: {case!r}: {why}')
    table.append((name, len(cases), failed))


small = picture('small.xpm', 3, 3, lambda x, y: True)
pic = picture('pic.xpm', 40, 30, lambda x, y: (x * 7 + y * 3) % 11 == 0)

# Out of memory: a 12000 x 12000 picture under address-space limits.
with open(path('big.xpm'), 'w') as f:
    f.write('"12000 12000 2 1",\n". c #000000",\n"# c #ffffff",\n')
    for y in range(12000):
        f.write('"' + (('#' * 11 + '.') * 1000 if y % 97 == 0 else '.' * 12000) + '",\n')
    f.write('};\n')
big = path('big.xpm')
commands = [['copy', big, path('o.txt')],
            ['transform', big, path('o.xpm'), '--quiet'],
            ['morph', 'dilate', big, path('o.xpm'), '--shape', 'circle', '--size', '3', '--quiet'],
            ['filter', 'dilate', small, path('o.txt'), '--filter', big, '--method', 'simple'],
            ['morph', 'close', big, path('o.txt'), '--shape', 'circle', '--size', '3', '--repeat',
             '2', '--quiet']]


def out_of_memory(case):
    limit, args = case
    status, _, err = run(RELEASE, args, limit=limit, timeout=900)
    if status != 0 and not (status == 1 and err.startswith('エラー: メモリ確保に失敗しました。')):
        return f'{status} {err[:200]}'
    return None


category('out of memory (12000² input, address space 0.3–3 GB, Release)',
         [(int(limit), args) for limit in [3e8, 6e8, 1e9, 2e9, 3e9] for args in commands],
         out_of_memory)
category('temporary files left by the memory runs', [folder],
         lambda f: [n for n in os.listdir(f) if n.startswith('.dtmorph-')])

# Numbers: wrong spellings on every numeric option, and the edges of each range.
options = [(['transform', pic, '-', '--apex'], '{},150'),
           (['transform', pic, '-', '--apex'], '0,{}'),
           (['morph', 'dilate', pic, '-', '--shape', 'circle', '--size'], '{}'),
           (['transform', pic, '-', '--feature'], '{}'),
           (['transform', pic, '-', '--threads'], '{}'),
           (['copy', pic, '-', '--repeat'], '{}')]
wrong = ['4294967446', '4294967296', '0x10', '+1', ' 1', '1 ', '1.0', '1e3', '', '-', '--1',
         '９', '2147483648', '-2147483649', '99999999999999999999', '1_000', '010x', '\t3']


def usage_error(args):
    status, _, err = run(SANITIZED, args)
    if status != 2 or 'Usage' not in err or 'Sanitizer' in err or 'runtime error' in err:
        return f'{status} {err[:200]}'
    return None


category('wrong numbers on every numeric option (ASan)',
         [base + [form.format(v)] for base, form in options for v in wrong], usage_error)
edges = [(['transform', pic, '-', '--apex'], ['-150,0', '150,300', '0,0'],
          ['-151,0', '151,0', '0,301', '0,-1']),
         (['transform', pic, '-', '--threads'], ['0', '64'], ['-1', '65']),
         (['transform', pic, '-', '--feature'], ['0', '1'], ['-1', '2']),
         (['morph', 'dilate', pic, '-', '--shape', 'square', '--size'], ['0', '2147483647'],
          ['-1', '2147483648']),
         (['copy', pic, '-', '--repeat'], ['1', '3'], ['0', '-1'])]
category('range edges of every numeric option (ASan)',
         [(base + [v], 0) for base, good, _ in edges for v in good] +
         [(base + [v], 2) for base, _, bad in edges for v in bad],
         lambda case: None if run(SANITIZED, case[0])[0] == case[1] else 'wrong status')

# Fuzzed command lines: any status but 0, 1 and 2, or a sanitizer report, is a failure.
random.seed(5)
words = ['info', 'copy', 'transform', 'morph', 'filter', 'frob', 'dilate', 'erode', 'open',
         'close', pic, small, '-', path('f.txt'), path('f.xpm'), '--apex', '--size', '--shape',
         '--metric', '--algorithm', '--feature', '--threads', '--repeat', '--time', '--quiet',
         '--filter', '--method', 'circle', 'triangle', 'euclid', 'udt', 'simple', '1', '0', '-5',
         '3,4', '150,300', '0x1', '', 'x', '--help']


def sound(args):
    status, _, err = run(SANITIZED, args, timeout=60)
    reports = ['Sanitizer', 'runtime error', 'terminate']
    if status not in (0, 1, 2) or any(r in err for r in reports):
        return f'{status} {err[:300]}'
    return None


category('fuzzed command lines (ASan)',
         [[random.choice(words[:6])] + random.choices(words, k=random.randint(0, 9))
          for _ in range(400)], sound)


def written(name):
    status, _, err = run(SANITIZED, ['copy', pic, name])
    if status != 0 or not os.path.exists(name):
        return f'{status} {err[:200]}'
    os.unlink(name)
    return None


category('output names of 240–255 bytes (ASan)',
         [path('n' * (n - 4) + ext) for n in range(240, 256) for ext in ['.txt', '.xpm']], written)

# Signals during a long write: the earlier file or the whole new one, and nothing else.
empty = picture('empty.xpm', 3000, 3000, lambda x, y: False)


def interrupted_write(case):
    sig, delay = case
    out = tempfile.mkdtemp(dir=folder)
    target = os.path.join(out, 'map.txt')
    with open(target, 'w') as f:
        f.write('earlier')
    child = subprocess.Popen([RELEASE, 'transform', empty, target], stdin=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    time.sleep(delay)
    child.send_signal(sig)
    child.wait()
    with open(target) as f:
        start = f.read(10)
    names = sorted(os.listdir(out))
    if names != ['map.txt'] or not (start == 'earlier' or start.startswith('3000 3000')):
        return f'{names} {start!r}'
    return None


category('SIGTERM and SIGINT during a 3000² write (Release)',
         [(s, d) for s in [signal.SIGTERM, signal.SIGINT] for d in [0.05, 0.2, 0.5, 1.0]],
         interrupted_write)

# Inputs that are no pictures: refused at once, with the name.
os.mkfifo(path('fifo'))
with open(path('sparse.xpm'), 'w'):
    pass
os.truncate(path('sparse.xpm'), 1 << 40)


def refused(args):
    start = time.time()
    status, _, err = run(SANITIZED, args, timeout=20)
    name = args[-1] if args[0] == 'filter' else args[1]
    if status != 1 or name not in err or time.time() - start > 10:
        return f'{status} {err[:200]}'
    return None


category('devices, pipes, folders, a 1 TB sparse file as input (ASan)',
         [c for name in ['/dev/zero', '/dev/null', '/dev/urandom', path('fifo'), folder,
                         path('sparse.xpm'), '/proc/self/mem']
          for c in [['info', name], ['copy', name, '-'], ['transform', name, '-'],
                    ['filter', 'dilate', pic, '-', '--filter', name]]], refused)

# Progress and Ctrl+C on a pseudo-terminal: a bar unless --quiet, status 130, nothing written.
slow = picture('slow.xpm', 2000, 2000, lambda x, y: (x * 31 + y * 17) % 5 == 0)
random.seed(1)
wide = picture('wide.xpm', 1001, 1001, lambda x, y: random.random() < 0.5)
result = path('p.txt')


def stopped_on_terminal(args):
    child, terminal = pty.fork()
    if child == 0:
        os.execv(RELEASE, [RELEASE] + args)
    shown = b''
    start = time.time()
    while time.time() - start < 2.5:
        if select.select([terminal], [], [], 0.1)[0]:
            try:
                shown += os.read(terminal, 4096)
            except OSError:
                break
    os.kill(child, signal.SIGINT)
    while True:
        try:
            more = os.read(terminal, 4096)
        except OSError:
            break
        if not more:
            break
        shown += more
    status = os.waitpid(child, 0)[1]
    text = shown.decode(errors='replace')
    quiet = '--quiet' in args
    if not (os.WIFEXITED(status) and os.WEXITSTATUS(status) == 130) or ('%' in text) == quiet \
            or 'nothing was written' not in text or os.path.exists(result):
        return f'{status} {text[-300:]!r}'
    return None


category('progress bar and Ctrl+C on a pseudo-terminal (Release)',
         [['filter', 'close', slow, result, '--filter', wide, '--method', 'simple'],
          ['filter', 'close', slow, result, '--filter', wide],
          ['transform', slow, result, '--algorithm', 'simple'],
          ['transform', slow, result, '--algorithm', 'simple', '--quiet'],
          ['morph', 'close', slow, result, '--shape', 'circle', '--size', '40',
           '--repeat', '5000']],
         stopped_on_terminal)


def quiet_off_terminal(args):
    child = subprocess.Popen([RELEASE] + args, stdin=subprocess.DEVNULL, stderr=subprocess.PIPE)
    time.sleep(3)
    child.send_signal(signal.SIGINT)
    err = child.communicate()[1].decode()
    if '%' in err or child.returncode != 130 or 'nothing was written' not in err \
            or os.path.exists(result):
        return f'{child.returncode} {err[:200]}'
    return None


category('no progress when standard error is not a terminal (Release)',
         [['transform', slow, result, '--algorithm', 'simple']], quiet_off_terminal)

# Messages a person can read.


def says(case):
    args, expected_status, expected_text = case
    status, _, err = run(SANITIZED, args)
    if status != expected_status or expected_text not in err or len(err) > 4000:
        return f'{status} {err[:300]}'
    return None


category('messages: ranges, unknown subcommand, file names (ASan)',
         [(['copy', pic, '-', '--repeat', '0'], 2, 'from 1 to 2147483647: 0'),
          (['frob'], 2, 'unknown subcommand: frob'),
          (['filter', 'open', pic, '-', '--filter', 'nope.xpm'], 1,
           'ファイルが開けません。\nnope.xpm\n'),
          (['info', 'nope.xpm'], 1, 'nope.xpm'),
          (['copy', pic, '/nonexistent/x.txt'], 1, '/nonexistent/x.txt'),
          (['transform', pic, '-', '--apex', '151,0'], 2, '151,0')], says)

print('| category | cases tried | failures |\n|---|---|---|')
for name, tried, failed in table:
    print(f'| {name} | {tried} | {failed} |')
for failure in failures:
    print('failed:', failure)
subprocess.run(['rm', '-rf', folder])
sys.exit(1 if failures else 0)
