#!/usr/bin/env python3
"""The cup's pages in Debian's headless chromium, driven over its DevTools pipe: the entry page
on a 360-pixel phone records a result that the calculator then shows; the results page shows
another program's result within a second without reloading; no page scrolls sideways, the
hall screen at 1920x1080 neither.

Usage: browser.py BUILD_DIR SAMPLE_LIST   (exit 77: chromium is not installed)
"""
import json, os, re, shutil, subprocess, sys, tempfile, time

build, sample = sys.argv[1], sys.argv[2]
chromium = shutil.which("chromium")
if not chromium:
    print("SKIP: chromium is not installed")
    sys.exit(77)
calc = os.path.join(build, "src/cli/velmorin-calc-coupe")
work = tempfile.mkdtemp(prefix="velmorin-browser-")
cup = os.path.join(work, "coupe.velmorin")


def run(*args):
    done = subprocess.run([calc, "--coupe", cup, *args], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return done.stdout


def check(condition, what):
    if not condition:
        print("FAIL:", what)
        sys.exit(1)


run("--nouvelle", "Coupe d'essai", "--equipes", sample, "--graine", "7", "6", "44", "3", "3")
run("--tirage", "1")
entry = run("--jeton", "1", "1").strip()
server = subprocess.Popen([os.path.join(build, "src/web/velmorin-serveur"), "--coupe", cup,
                           "--port", "0"], stdout=subprocess.PIPE, text=True)
base = re.search(r"(http://127\.0\.0\.1:\d+)/", server.stdout.readline()).group(1)

# DevTools over a pipe: commands on the browser's fd 3, answers on its fd 4, NUL-separated.
to_browser, from_browser = os.pipe(), os.pipe()
browser = subprocess.Popen(
    [chromium, "--headless=new", "--no-sandbox", "--remote-debugging-pipe", "--no-first-run",
     "--disable-gpu", "--user-data-dir=" + os.path.join(work, "profile"), "about:blank"],
    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, close_fds=False,
    preexec_fn=lambda: (os.dup2(to_browser[0], 3), os.dup2(from_browser[1], 4)))
os.close(to_browser[0])
os.close(from_browser[1])
reader = os.fdopen(from_browser[0], "rb")
pending = b""
ids = iter(range(1, 10 ** 6))


def send(method, session=None, **params):
    global pending
    number = next(ids)
    message = {"id": number, "method": method, "params": params}
    if session:
        message["sessionId"] = session
    os.write(to_browser[1], json.dumps(message).encode() + b"\0")
    while True:
        while b"\0" not in pending:
            chunk = os.read(from_browser[0], 1 << 16)
            check(chunk, "the browser went away")
            pending += chunk
        raw, pending = pending.split(b"\0", 1)
        answer = json.loads(raw)
        if answer.get("id") == number:
            check("error" not in answer, f"{method}: {answer.get('error')}")
            return answer["result"]


def evaluate(session, expression):
    result = send("Runtime.evaluate", session, expression=expression, returnByValue=True)
    return result["result"].get("value")


def open_page(url, width, height):
    target = send("Target.createTarget", url="about:blank")["targetId"]
    session = send("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
    send("Emulation.setDeviceMetricsOverride", session, width=width, height=height,
         deviceScaleFactor=1, mobile=width < 800)
    go(session, url)
    return session


def go(session, url):
    send("Page.navigate", session, url=url)
    wait(session, f"location.href === {json.dumps(url)} && document.readyState === 'complete'", 5)


def wait(session, condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if evaluate(session, condition):
            return True
        time.sleep(0.05)
    return False


def no_sideways_scroll(session, what):
    sizes = evaluate(session, "[document.documentElement.scrollWidth, window.innerWidth]")
    check(sizes[0] <= sizes[1], f"{what} scrolls sideways: {sizes}")


try:
    # The entry page on a phone: a team's button records its game's result.
    phone = open_page(base + entry, 360, 740)
    no_sideways_scroll(phone, "the entry page")
    evaluate(phone, "document.querySelector('input[name=score]').value = '13-5';"
                    "window.leftBehind = 1;"
                    "document.querySelector('button[name=gagnant]').click()")
    check(wait(phone, "!window.leftBehind && document.readyState === 'complete' &&"
                      " document.body.innerText.includes('Enregistré')", 5),
          "the entry page did not record the result")
    no_sideways_scroll(phone, "the entry page after a result")
    shown = run("--tour", "1", "--format", "csv")
    check(re.search(r'^1,1,1,.*,13,5,', shown, re.M) or re.search(r'^1,1,1,.*,5,13,', shown, re.M),
          "the calculator does not show the result entered:\n" + shown)

    # The results page follows another program's change without reloading.
    for path in ("/", "/tour/1"):
        go(phone, base + path)
        no_sideways_scroll(phone, path)
        check(wait(phone, "document.body.innerText.includes('Mis à jour')", 2), path + " is empty")
        evaluate(phone, "window.stillHere = 1")
        group = 2 if path == "/" else 3
        sides = re.search(rf'^1,{group},1,([^,]*),', run("--tour", "1", "--format", "csv"), re.M)
        start = time.monotonic()
        run("--gagnant", "1", sides.group(1).strip('"'), "--score", "13-11")
        check(wait(phone, f"window.stillHere === 1 && document.getElementById('p1-{group}-1')"
                          ".innerText.includes('13')", 1.5),
              f"{path} did not show the result without reloading")
        elapsed = time.monotonic() - start
        check(elapsed < 1.2, f"{path} showed the result after {elapsed:.2f} s")
        print(f"{path}: another program's result shown after {elapsed * 1000:.0f} ms")

    screen = open_page(base + "/ecran", 1920, 1080)
    no_sideways_scroll(screen, "the hall screen")
    check(evaluate(screen, "getComputedStyle(document.body).backgroundColor") == "rgb(0, 0, 0)",
          "the hall screen is not dark")
    print("PASS")
finally:
    browser.kill()
    server.terminate()
    browser.wait()
    server.wait()
    shutil.rmtree(work, ignore_errors=True)
