#!/usr/bin/env python3
"""Load probe of velmorin-serveur on loopback: CLIENTS phones follow the live page
(/evenements) while results are posted at RATE a second from TOKENS entry tokens for SECONDS.
Reports the POST latencies (p50, p99), how late each client saw each change, the events lost,
and the server's peak memory. The cup is made and drawn by the calculator; when the tokens'
groups have no game left, the calculator cancels and redraws round 1 (another program's
change, which every client must see too).

Usage: bench/web/load_probe.py BUILD_DIR [CLIENTS RATE TOKENS SECONDS]
"""
import asyncio, bisect, os, random, re, subprocess, sys, tempfile, time

build = sys.argv[1]
clients, rate, tokens_wanted, seconds = (int(a) for a in (sys.argv[2:6] or [500, 50, 20, 60]))
calc = os.path.join(build, "src/cli/velmorin-calc-coupe")
server_bin = os.path.join(build, "src/web/velmorin-serveur")
sample = os.path.join(os.path.dirname(__file__), "../../docs/exemple-equipes.csv")
work = tempfile.mkdtemp(prefix="velmorin-load-")
cup = os.path.join(work, "coupe.velmorin")


def run(*args):
    return subprocess.run([calc, "--coupe", cup, *args], capture_output=True, text=True)


# A cup of twice the sample list, with the first plan its numbers have.
lines = open(sample, encoding="utf-8").read().splitlines()
rows = [lines[0]] + [l.replace(";", f" {k};", 1) for k in (1, 2) for l in lines[1:] if l]
lst = os.path.join(work, "equipes.csv")
open(lst, "w", encoding="utf-8").write("\n".join(rows) + "\n")
made = False
plain_calc = os.path.join(build, "src/cli/velmorin-calc")
for finale in range(1, 17):
    scan = subprocess.run([plain_calc, "--scan", str(len(rows) - 1), str(finale)],
                          capture_output=True, text=True).stdout
    for line in scan.splitlines():
        cells = line.split()
        if len(cells) != 4 or not cells[0].isdigit():
            continue
        for klass, count in zip((3, 2, 1), cells[1:]):
            if count != "0" and not made:
                made = run("--nouvelle", "Charge", "--equipes", lst, "--graine", "1",
                           str(finale), cells[0], str(klass), "1").returncode == 0
    if made:
        break
assert made, "no plan"
run("--tirage", "1")
groups = len(re.findall(r"^\s*\d+\s+1\s", run("--tour", "1").stdout, re.M))
tokens = [(g, run("--jeton", "1", str(g)).stdout.strip()) for g in range(1, min(groups, tokens_wanted) + 1)]

srv = subprocess.Popen([server_bin, "--coupe", cup, "--port", "0"], stdout=subprocess.PIPE, text=True)
port = int(re.search(r":(\d+)/", srv.stdout.readline()).group(1))
host = f"127.0.0.1:{port}"

post_ms, post_at = [], []  # latencies; moments the recorded results were answered
arrivals = [[] for _ in range(clients)]  # moments each client received an event
peak_kb = 0


async def follower(k):
    reader, writer = await asyncio.open_connection("127.0.0.1", port)
    writer.write(f"GET /evenements HTTP/1.1\r\nHost: {host}\r\n\r\n".encode())
    buf = b""
    while True:
        chunk = await reader.read(262144)
        if not chunk:
            return
        buf += chunk
        while b"\n\n" in buf:
            event, buf = buf.split(b"\n\n", 1)
            if b"event: coupe" in event or b"event: lignes" in event:
                arrivals[k].append(time.monotonic())


async def request(raw):
    reader, writer = await asyncio.open_connection("127.0.0.1", port)
    writer.write(raw)
    data = await reader.read()
    writer.close()
    return data


def get(path):
    return f"GET {path} HTTP/1.1\r\nHost: {host}\r\nConnection: close\r\n\r\n".encode()


FORM = re.compile(r'value="(1-\d+-\d)">\s*<input type="hidden" name="version" value="(\d+)">\s*'
                  r'<input type="hidden" name="etat" value="([0-9a-f]+)">.*?name="gagnant" value="(\d+)"', re.S)


async def poster(path, end):
    # Each token posts its share of the rate, as a phone at the lanes would: the page, then
    # the result it shows.
    interval = len(tokens) / rate
    nxt = time.monotonic() + random.random() * interval
    while time.monotonic() < end:
        await asyncio.sleep(max(0, nxt - time.monotonic()))
        nxt += interval
        forms = FORM.findall((await request(get(path))).decode())
        if not forms:
            continue
        game, version, state, winner = forms[0]
        body = f"partie={game}&version={version}&etat={state}&gagnant={winner}&score=13-{random.randint(0, 12)}"
        raw = (f"POST {path} HTTP/1.1\r\nHost: {host}\r\nOrigin: http://{host}\r\nConnection: close\r\n"
               f"Content-Type: application/x-www-form-urlencoded\r\nContent-Length: {len(body)}\r\n\r\n{body}").encode()
        t = time.monotonic()
        answer = await request(raw)
        post_ms.append((time.monotonic() - t) * 1000)
        if answer.startswith(b"HTTP/1.1 200"):
            post_at.append(time.monotonic())


async def redrawer(end):
    # The tokens' groups all played: another program (the calculator) draws round 1 again.
    while time.monotonic() < end:
        await asyncio.sleep(0.3)
        pages = [(await request(get(p))).decode() for _, p in tokens]
        if not any('name="partie"' in page for page in pages):
            await asyncio.get_running_loop().run_in_executor(
                None, lambda: (run("--annuler-tirage", "1"), run("--tirage", "1")))


async def memory():
    global peak_kb
    while True:
        for line in open(f"/proc/{srv.pid}/status"):
            if line.startswith("VmHWM:"):
                peak_kb = max(peak_kb, int(line.split()[1]))
        await asyncio.sleep(0.5)


async def main():
    followers = [asyncio.create_task(follower(k)) for k in range(clients)]
    await asyncio.sleep(2)
    watch = asyncio.create_task(memory())
    end = time.monotonic() + seconds
    await asyncio.gather(redrawer(end), *(poster(p, end) for _, p in tokens))
    await asyncio.sleep(1.5)
    watch.cancel()
    for f in followers:
        f.cancel()


try:
    asyncio.run(main())
finally:
    srv.terminate()
    srv.wait()
post_ms.sort()
lags, late = [], 0
for at in post_at:
    for seen in arrivals:
        k = bisect.bisect_right(seen, at)
        lag = (seen[k] - at) * 1000 if k < len(seen) else float("inf")
        lags.append(lag)
        late += lag > 1000
lags.sort()
pct = lambda xs, p: xs[min(len(xs) - 1, int(len(xs) * p))] if xs else float("nan")
print(f"{clients} clients, {len(post_ms)} POSTs ({len(post_at)} recorded) in {seconds} s from {len(tokens)} tokens")
print(f"POST ms: p50 {pct(post_ms, .5):.1f}  p99 {pct(post_ms, .99):.1f}  max {post_ms[-1] if post_ms else 0:.1f}")
print(f"result seen by each client after, ms: p50 {pct(lags, .5):.1f}  p99 {pct(lags, .99):.1f}  max {lags[-1] if lags else 0:.1f}")
print(f"(result, client) pairs later than 1 s: {late} of {len(lags)}")
print(f"server peak memory (VmHWM): {peak_kb / 1024:.1f} MB")
