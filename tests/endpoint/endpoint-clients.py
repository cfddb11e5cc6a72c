#!/usr/bin/env python3
"""Real clients against the endpoint of the real program, staged with the scripted sensor
library and the hidapi double: promtool, a Prometheus server, curl and Python's json module,
then 50 slow clients and a 1 MB request line while the display's report period is watched,
and a port that is already taken.

    endpoint-clients.py SOURCE_DIR BINARY_DIR

TARNIX_ENDPOINT_PROGRAM names the program (default BINARY_DIR/Tarnix). The endpoint is
switched on by the settings entry Endpoint/Listen; a program named tarnixd is given
--listen as well. Exit 77 (skipped) when promtool or prometheus is missing.
"""
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import urllib.request

SOURCE_DIR, BINARY_DIR = sys.argv[1], sys.argv[2]
PROGRAM = os.environ.get("TARNIX_ENDPOINT_PROGRAM", os.path.join(BINARY_DIR, "Tarnix"))
SKIP = 77

ODD_SENSOR = 'Board "X\\Y" \u2014 Gr\u00f6\u00dfe \u6e29\u5ea6'
ODD_READING = 'Temp "1" \\ \u00b0C'
SCRIPT = (
    "sensor CPU [#0]: Test CPU\n"
    "temperature 0 47.25 CPU Package\n"
    "usage 0 12.5 Total CPU Usage\n"
    "clock 0 3400.5 Core 0 Clock\n"
    "fan 0 1234 CPU Fan\n"
    "power 0 65.5 CPU Package Power\n"
    f"sensor {ODD_SENSOR}\n"
    f"temperature 0 33.5 {ODD_READING}\n")
APP_CONFIG = (
    "[AppInfo]\nAppName=Tarnix\nAppVersion=V_1.0.0.01\nAppID=TARNIX-E2E\n"
    "[AppIco]\nAppIcoSel01=AppIco.png\nAppIcoSel02=AppLogo.png\n"
    "[AppUiShow]\nShowMainPageUI=0\nLeftTopShowModel=1\nLeftTopShowImage=leftTopImage.png\n"
    "MainAreaShowModel=1\nAppVersionShowModel=1\nDeviceConStatusShowModel=1\n"
    "TemperatureChangShowModel=1\nCompanyInfoShowModel=1\nHardwareInfoShowModel=1\n"
    "[ThemeColor]\nMainBorderColor=20.20.20\nMainBgColor=37.37.37\n"
    "ProgressBarDefBgColor=60.60.60\nProgressBarStartColor=236.3.78\n"
    "ProgressBarEndColor=255.41.37\nRadioDefColor=175.175.175\nRadioSelColor=255.2.0\n"
    "DataValueTextColor=220.220.220\nFrameBorderColor=49.49.49\nTextFont=Montserrat\n")

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def http(method, url, timeout=5):
    """(status, headers, body) of one request; status 0 when it failed."""
    request = urllib.request.Request(url, method=method)
    try:
        with urllib.request.urlopen(request, timeout=timeout) as answer:
            return answer.status, answer.headers, answer.read()
    except urllib.error.HTTPError as error:
        return error.code, error.headers, error.read()
    except OSError:
        return 0, {}, b""


def wait_until(done, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if done():
            return True
        time.sleep(0.2)
    return False


def comma_locale(root):
    """LOCPATH with a de_DE.UTF-8 built here, or None."""
    folder = os.path.join(root, "locales")
    os.makedirs(folder)
    built = subprocess.run(["localedef", "-i", "de_DE", "-f", "UTF-8",
                            os.path.join(folder, "de_DE.UTF-8")],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return folder if built.returncode == 0 else None


class Staged:
    """One copy of the program in a folder of its own, as tests/endtoend stages it."""

    def __init__(self, listen, environment=None):
        self.root = tempfile.mkdtemp(prefix="tarnix-endpoint.")
        for sub in ("configDir", "hid", "home", "config/MyCompanyKelmar", "data", "cache",
                    "tmp"):
            os.makedirs(os.path.join(self.root, sub), exist_ok=True)
        self.program = os.path.join(self.root, os.path.basename(PROGRAM))
        shutil.copy2(PROGRAM, self.program)
        # The HTTP module lies beside the executable, as installed.
        shutil.copy2(os.path.join(os.path.dirname(PROGRAM), "libtarnix-http.so"), self.root)
        shutil.copy2(os.path.join(BINARY_DIR, "tests/scripted-sensors/libhwsensors.so"),
                     os.path.join(self.root, "libhwsensors.so"))
        images = os.path.join(SOURCE_DIR, "configDir")
        for name in os.listdir(images):
            if name.endswith(".png"):
                shutil.copy2(os.path.join(images, name), os.path.join(self.root, "configDir"))
        self.write("configDir/appConfig.ini", APP_CONFIG)
        self.write("sensors.script", SCRIPT)
        self.write("hid/devices", "5131 2007 /dev/hidraw-e2e\n")
        self.write("config/MyCompanyKelmar/Tarnix.conf", f"[Endpoint]\nListen={listen}\n")
        self.env = dict(os.environ)
        self.env.update({
            "HOME": self.path("home"), "XDG_CONFIG_HOME": self.path("config"),
            "XDG_DATA_HOME": self.path("data"), "XDG_CACHE_HOME": self.path("cache"),
            "TMPDIR": self.path("tmp"),
            "TARNIX_SCRIPTED_SENSORS": self.path("sensors.script"),
            "HIDAPI_DOUBLE_DIR": self.path("hid"),
            "LD_LIBRARY_PATH": os.path.join(BINARY_DIR, "tests/hidapi-double"),
            "QT_QPA_PLATFORM": "offscreen"})
        self.env.update(environment or {})
        self.arguments = [self.program]
        if os.path.basename(PROGRAM) == "tarnixd":
            self.arguments += ["--listen", listen]
        self.process = None

    def path(self, name):
        return os.path.join(self.root, name)

    def write(self, name, text):
        with open(self.path(name), "w", encoding="utf-8") as f:
            f.write(text)

    def start(self):
        self.process = subprocess.Popen(
            self.arguments, env=self.env, cwd=self.root,
            stdout=open(self.path("stdout"), "wb"), stderr=open(self.path("stderr"), "wb"))

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.root, ignore_errors=True)

    def writes(self):
        """When the double took each report, ms since the epoch."""
        try:
            with open(self.path("hid/writes"), encoding="ascii") as f:
                return [int(line.split(" ", 1)[0]) for line in f if " " in line]
        except OSError:
            return []

    def log(self):
        text = ""
        for folder in (self.path("data/Tarnix/logDir"), self.path("data/tarnixd/logDir")):
            if os.path.isdir(folder):
                for name in sorted(os.listdir(folder)):
                    with open(os.path.join(folder, name), "rb") as f:
                        text += f.read().decode("utf-8", "replace")
        with open(self.path("stderr"), "rb") as f:
            text += f.read().decode("utf-8", "replace")
        return text


def check_metrics(base):
    status, headers, body = http("GET", base + "/metrics")
    check(status == 200, "GET /metrics answers 200")
    check(headers.get("Content-Type") == "text/plain; version=0.0.4; charset=utf-8",
          "the exposition's content type")
    text = body.decode("utf-8")
    promtool = subprocess.run(["promtool", "check", "metrics"], input=body,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    check(promtool.returncode == 0,
          "promtool check metrics accepts it " + promtool.stdout.decode(errors="replace"))
    check('tarnix_temperature_celsius{sensor="CPU [#0]: Test CPU",reading="CPU Package"} 47.25\n'
          in text, "the CPU temperature reading, with a dot under the comma locale")
    check("tarnix_clock_hertz{sensor=\"CPU [#0]: Test CPU\",reading=\"Core 0 Clock\"} 3400500000"
          in text, "clock readings in hertz")
    escaped = ('tarnix_temperature_celsius{sensor="Board \\"X\\\\Y\\" \u2014 Gr\u00f6\u00dfe '
               '\u6e29\u5ea6",reading="Temp \\"1\\" \\\\ \u00b0C"} 33.5\n')
    check(escaped in text, "the odd names escaped in the labels")
    check("\ntarnix_display_cpu_temperature_celsius 47.25\n" in text, "the display's value")
    check("\ntarnix_display_connected 1\n" in text, "the display is connected")
    check("47,25" not in text and "12,5" not in text, "no comma in any number")
    check(http("HEAD", base + "/metrics")[0] == 200, "HEAD /metrics")
    status, headers, _ = http("POST", base + "/metrics")
    check(status == 405 and headers.get("Allow") == "GET, HEAD", "POST: 405 with Allow")
    check(http("GET", base + "/nowhere")[0] == 404, "another path: 404")


def check_json(base):
    curl = subprocess.run(["curl", "-sS", "--fail", "-D", "-", base + "/readings.json"],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    check(curl.returncode == 0, "curl reads /readings.json " + curl.stderr.decode())
    head, _, body = curl.stdout.partition(b"\r\n\r\n")
    check(b"Content-Type: application/json" in head, "the JSON content type")
    try:
        data = json.loads(body.decode("utf-8"))
    except ValueError as error:
        check(False, f"json reads it: {error}")
        return
    sensors = {s["name"]: s["readings"] for s in data["sensors"]}
    check(ODD_SENSOR in sensors, "the odd sensor name comes through JSON intact")
    odd = sensors.get(ODD_SENSOR, [{}])[0]
    check(odd.get("name") == ODD_READING and odd.get("value") == 33.5,
          "the odd reading name and its value")
    value = data["display"]["values"]["cpuTemperature"]
    check(value["value"] == 47.25 and value["unit"] == "\u00b0C", "the display's CPU temperature")
    check(value["source"] == {"sensor": "CPU [#0]: Test CPU", "kind": "temperature",
                              "reading": "CPU Package"}, "which reading feeds it")
    check(data["time"].endswith("Z") and data["version"], "time and version")


def check_prometheus(base, port, root):
    prometheus_port = free_port()
    config = os.path.join(root, "prometheus.yml")
    with open(config, "w") as f:
        f.write("global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n"
                "scrape_configs:\n  - job_name: tarnix\n"
                f"    static_configs:\n      - targets: ['127.0.0.1:{port}']\n")
    server = subprocess.Popen(
        ["prometheus", f"--config.file={config}",
         f"--storage.tsdb.path={os.path.join(root, 'tsdb')}",
         f"--web.listen-address=127.0.0.1:{prometheus_port}"],
        stdout=subprocess.DEVNULL, stderr=open(os.path.join(root, "prometheus.log"), "wb"))
    query = urllib.parse.quote('tarnix_temperature_celsius{reading="CPU Package"}')
    url = f"http://127.0.0.1:{prometheus_port}/api/v1/query?query={query}"
    found = []

    def scraped():
        status, _, body = http("GET", url)
        if status != 200:
            return False
        found[:] = json.loads(body)["data"]["result"]
        return bool(found)

    try:
        check(wait_until(scraped, 60), "Prometheus scraped the CPU temperature series")
        if found:
            check(found[0]["value"][1] == "47.25" and
                  found[0]["metric"]["sensor"] == "CPU [#0]: Test CPU",
                  f"with the scripted value: {found[0]}")
    finally:
        server.terminate()
        server.wait(10)


class SlowClient(threading.Thread):
    """Opens a connection and sends a request one byte every half second."""

    def __init__(self, port, stop):
        super().__init__(daemon=True)
        self.port, self.stop = port, stop

    def run(self):
        try:
            with socket.create_connection(("127.0.0.1", self.port), timeout=30) as s:
                for byte in b"GET /metrics HTTP/1.1\r\nHost: slow\r\nX-Slow: " + b"x" * 100:
                    if self.stop.is_set():
                        return
                    s.send(bytes([byte]))
                    time.sleep(0.5)
        except OSError:
            pass


def long_request_line(port):
    """A 1 MB request line; the answer's status, or 0 when the server hung up."""
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=15) as s:
            s.sendall(b"GET /" + b"a" * (1 << 20) + b" HTTP/1.1\r\nHost: x\r\n\r\n")
            answer = s.recv(64)
            return int(answer.split(b" ")[1]) if answer.startswith(b"HTTP/") else 0
    except (OSError, ValueError, IndexError):
        return 0


def check_period_under_abuse(staged, base, port):
    stop = threading.Event()
    began = int(time.time() * 1000)
    status = long_request_line(port)
    check(status in (400, 413, 414), f"the 1 MB request line is refused ({status})")
    clients = [SlowClient(port, stop) for _ in range(50)]
    for client in clients:
        client.start()
    time.sleep(8)
    stop.set()
    ended = int(time.time() * 1000)
    times = [t for t in staged.writes() if began <= t <= ended]
    periods = [b - a for a, b in zip(times, times[1:])]
    print("     report periods under abuse (ms):", periods, flush=True)
    check(len(periods) >= 6 and all(900 <= p <= 1100 for p in periods),
          "the report period stays within 1 s +- 100 ms")
    check(wait_until(lambda: http("GET", base + "/metrics", timeout=10)[0] == 200, 20),
          "the endpoint answers again once the slow clients are gone")


def check_port_in_use(locpath):
    with socket.socket() as taken:
        taken.bind(("127.0.0.1", 0))
        taken.listen(1)
        port = taken.getsockname()[1]
        staged = Staged(f"127.0.0.1:{port}")
        try:
            staged.start()
            check(wait_until(lambda: "Endpoint -> cannot listen on 127.0.0.1:%d" % port
                             in staged.log(), 30), "a port in use is one clear log line")
            before = len(staged.writes())
            time.sleep(3)
            check(len(staged.writes()) >= before + 2, "and the display is fed on")
        finally:
            staged.stop()


def main():
    for tool in ("promtool", "prometheus", "curl"):
        if not shutil.which(tool):
            print(f"skipped: {tool} is not installed (scripts/install-deps.sh)")
            return SKIP
    work = tempfile.mkdtemp(prefix="tarnix-endpoint-clients.")
    locpath = comma_locale(work)
    environment = {"LOCPATH": locpath, "LC_ALL": "de_DE.UTF-8"} if locpath else {}
    if not locpath:
        print("note: localedef could not build de_DE.UTF-8; the comma locale is not checked")
    port = free_port()
    base = f"http://127.0.0.1:{port}"
    staged = Staged(f"127.0.0.1:{port}", environment)
    try:
        staged.start()
        if not check(wait_until(lambda: http("GET", base + "/metrics")[0] == 200, 30),
                     "the endpoint answers within 30 s"):
            print(staged.log()[-3000:])
            return 1
        check("Endpoint -> serving http://127.0.0.1:%d/metrics" % port in staged.log(),
              "the log says where it listens")
        check_metrics(base)
        check_json(base)
        check_prometheus(base, port, work)
        check_period_under_abuse(staged, base, port)
        check(staged.process.poll() is None, "the program is still running")
    finally:
        staged.stop()
    check_port_in_use(locpath)
    shutil.rmtree(work, ignore_errors=True)
    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
