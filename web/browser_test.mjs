// The site in a browser engine, Chromium, Firefox or WebKit, opened from a
// static server on the loopback address that this test starts and stops:
// a user types each session of the table below. At each wait the terminal
// must show what the Linux program shows on a terminal of the same size
// (tmux), and in the end the page's bytes and exit status must be that
// program's for the same input. No error in the page, nothing on the
// program's standard error, nothing refused by the page's policy. Last,
// with the server gone, a later visit must still start the program (the
// service worker). A screenshot after the first search is left for a person.
//
//   node browser_test.mjs ENGINE SITE NATIVE_PROGRAM NPM_DIR SCREENSHOT TMUX BROWSER [WEBDRIVER]
//
// Chromium and Firefox are driven by puppeteer-core (over the DevTools
// protocol and WebDriver BiDi), WebKitGTK's MiniBrowser through its W3C
// WebDriver under Xvfb. What an engine cannot do is said, with the reason.

import { spawn, spawnSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";

const [engineName, site, nativeProgram, npmDir, screenshot, tmux, browserPath, webDriver] = process.argv.slice(2);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "pallimorvenquist-browser-"));
const outOfMemory = "\x07\x07\x07\nFATAL ERROR: Application has run out of memory.\nHit return to quit.\n";
const ctrlC = "\x03", ctrlD = "\x04";

// What a user does, a step a string: the keys typed, the test waiting after
// each step until the program waits again or has ended (Return is \n).
// `lists`: files opened through the page's button first, which the Linux
// program finds in its folder. `again`: started with Start again, after the
// session before. `phone`: a phone's viewport, as Chromium emulates it, and
// the same size in the other engines where they can set it; there ?, *,
// Ctrl-C and Ctrl-D are touched on the page's row of keys where the engine
// emulates a touch screen. `turned`: opened on its side, then turned
// upright. `offline`: with the server stopped. `screenshot`: taken after
// that step.
function hugeList(file) {
    const block = Buffer.from(("x".repeat(99) + "\n").repeat(10000));
    const fd = fs.openSync(file, "w");
    for (let i = 0; i < 280; ++i) fs.writeSync(fd, block);  // 280 MB
    fs.closeSync(fd);
}
const sessions = [
    { name: "the shipped list", keys: ["\n", "n\n", "c?t\n", "ca??\n", "\n", ctrlD], screenshot: 3 },
    { name: "a list opened through the button", again: true, lists: { "my words.txt": "Alpha\nbeta\nGamma\ndelta\n" },
      keys: ["my words.txt\n", "y\n", "*a\n", ctrlC] },
    // Beyond the page's program's memory (256 MiB); the Linux program has no such limit.
    { name: "a list larger than the program's memory", again: true, lists: { "huge.txt": hugeList },
      keys: ["huge.txt\n", "n\n"], outOfMemory: true },
    { name: "a phone on its side", phone: [844, 390], keys: ["\n", "n\n", "?n?m?l\n", "*z*z*z*\n", ctrlD] },
    { name: "a phone upright", phone: [390, 844], turned: true, keys: ["\n", "n\n", "c?t\n", "ca??\n", ctrlC] },
    { name: "a later visit, offline", offline: true, keys: ["\n", "n\n", "c?t\n", ctrlD] },
];

let skips = 0;
function skip(what) {
    console.log(`skipped: ${what}`);
    ++skips;
}

function check(condition, what, detail = "") {
    if (!condition) throw new Error(`failed: ${what}${detail && `\n${detail}`}`);
    console.log(`ok: ${what}`);
}

// Asks `done` every 50 ms until it answers, for at most `seconds`.
async function until(done, seconds = 20) {
    for (const end = Date.now() + seconds * 1000; ; await new Promise((r) => setTimeout(r, 50))) {
        const answer = await done();
        if (answer || Date.now() > end) return answer;
    }
}

// The site, as any static file server serves it.
const types = {
    ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm",
    ".webmanifest": "application/manifest+json", ".svg": "image/svg+xml", ".txt": "text/plain",
};
function serve() {
    const server = http.createServer((request, response) => {
        const name = decodeURIComponent(new URL(request.url, "http://x").pathname).replace(/\/$/, "/index.html");
        const file = path.join(site, path.normalize(name));
        fs.readFile(file, (error, bytes) => {
            if (error || !file.startsWith(site)) return response.writeHead(404).end();
            response.writeHead(200, { "Content-Type": types[path.extname(file)] ?? "application/octet-stream" });
            response.end(bytes);
        });
    });
    return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

// Whatever refuses a resource from the page's first line on, where the
// engine's driver can add a script before the page's own.
function watchPolicy() {
    window.refusedByPolicy = [];
    document.addEventListener("securitypolicyviolation", (e) => window.refusedByPolicy.push(e.blockedURI));
}

// Chromium and Firefox through puppeteer-core. Firefox emulates a touch
// screen only as a whole browser, started for the phone's sessions with
// the preferences of one whose main pointer is coarse.
async function puppeteerEngine(name) {
    const puppeteer = createRequire(path.join(npmDir, "package.json"))("puppeteer-core");
    const chromium = name === "chromium";
    const launch = (prefs) => puppeteer.launch({
        browser: chromium ? "chrome" : "firefox", executablePath: browserPath, headless: true,
        userDataDir: fs.mkdtempSync(path.join(scratch, "profile-")), defaultViewport: null,
        args: chromium ? ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync"] : [],
        extraPrefsFirefox: prefs,
    });
    const browsers = [await launch({})];
    const touchPrefs = {
        "ui.primaryPointerCapabilities": 1, "ui.allPointerCapabilities": 1, "dom.w3c_touch_events.enabled": 1,
    };
    return {
        version: await browsers[0].version(),
        // Firefox's driver reports a promise's rejection that the page has
        // handled (the program's exit, with preventDefault) as an uncaught
        // exception: there the page's own record stands alone.
        skips: chromium ? [] : ["the driver's own report of errors in the page: it reports handled rejections too"],
        async open({ width, height, phone }) {
            if (phone && !chromium) browsers[1] ??= await launch(touchPrefs);
            const page = await browsers[phone && !chromium ? 1 : 0].newPage();
            const viewport = (w, h) => page.setViewport({
                width: w, height: h, deviceScaleFactor: phone ? 3 : 1, isMobile: phone, hasTouch: phone,
            });
            await viewport(width, height);
            await page.evaluateOnNewDocument(watchPolicy);
            const errors = [];
            if (chromium) page.on("pageerror", (error) => errors.push(`page error: ${error}`));
            return {
                errors,
                goto: (url) => page.goto(url),
                resize: viewport,
                run: (f, ...args) => page.evaluate(f, ...args),
                async type(keys) {
                    for (const key of keys) {
                        if (key === "\n") await page.keyboard.press("Enter");
                        else if (key === ctrlC || key === ctrlD) {
                            await page.keyboard.down("Control");
                            await page.keyboard.press(key === ctrlC ? "c" : "d");
                            await page.keyboard.up("Control");
                        } else await page.keyboard.type(key);
                    }
                },
                touch: async (selector) => (await page.$(selector)).tap(),
                click: (selector) => page.click(selector),
                upload: async (selector, file) => (await page.$(selector)).uploadFile(file),
                screenshot: (file) => page.screenshot({ path: file }),
                close: () => page.close(),
            };
        },
        close: () => Promise.all(browsers.map((b) => b.close())),
    };
}

// WebKitGTK's MiniBrowser through WebKitWebDriver, over W3C WebDriver's
// HTTP: one window, which each session's page replaces. Under Xvfb it has
// no touch screen, nor can its driver emulate one.
async function webDriverEngine() {
    const port = await new Promise((resolve) => {
        const probe = http.createServer().listen(0, "127.0.0.1", () => {
            const { port } = probe.address();
            probe.close(() => resolve(port));
        });
    });
    const driver = spawn(webDriver, [`--port=${port}`], { stdio: "ignore" });
    const call = async (method, where, body) => {
        const response = await fetch(`http://127.0.0.1:${port}${where}`, {
            method, headers: { "Content-Type": "application/json" }, body: body && JSON.stringify(body),
        });
        const { value } = await response.json();
        if (!response.ok) throw new Error(`WebDriver ${where}: ${value.error}: ${value.message}`);
        return value;
    };
    await until(() => call("GET", "/status").then((s) => s.ready, () => false), 10);
    const { sessionId, capabilities } = await call("POST", "/session", {
        capabilities: { alwaysMatch: { "webkitgtk:browserOptions": { binary: browserPath, args: ["--automation"] } } },
    });
    const session = `/session/${sessionId}`;
    await call("POST", `${session}/timeouts`, { script: 120000 });
    const element = async (selector) =>
        Object.values(await call("POST", `${session}/element`, { using: "css selector", value: selector }))[0];
    const keys = { "\n": "\uE007", [ctrlC]: "\uE009c\uE000", [ctrlD]: "\uE009d\uE000" };
    const tab = {
        errors: [],
        goto: (url) => call("POST", `${session}/url`, { url }),
        // The window's size, less its tool bar's, is the page's.
        async resize(width, height) {
            await call("POST", `${session}/window/rect`, { width, height });
            const [inside, high] = await tab.run(() => [innerWidth, innerHeight]);
            await call("POST", `${session}/window/rect`, { width: 2 * width - inside, height: 2 * height - high });
        },
        run: (f, ...args) =>
            call("POST", `${session}/execute/sync`, { script: `return (${f}).apply(null, arguments)`, args }),
        type: async (text) =>
            call("POST", `${session}/element/${await element(".xterm-helper-textarea")}/value`,
                { text: Array.from(text, (key) => keys[key] ?? key).join("") }),
        touch: () => Promise.reject(new Error("no touch screen")),
        click: async (selector) => call("POST", `${session}/element/${await element(selector)}/click`, {}),
        upload: async (selector, file) =>
            call("POST", `${session}/element/${await element(selector)}/value`, { text: file }),
        screenshot: async (file) =>
            fs.writeFileSync(file, Buffer.from(await call("GET", `${session}/screenshot`), "base64")),
        close: () => {},
    };
    return {
        version: `WebKitGTK ${capabilities.browserVersion} (${capabilities.browserName})`,
        skips: [
            "what the page's policy refuses before the page's own script listens: its driver adds no script before it",
            "the driver's own report of errors in the page: it has none",
        ],
        touchless: "WebKitGTK under Xvfb has no touch screen, and its WebDriver emulates none",
        async open({ width, height }) {
            await tab.resize(width, height);
            return tab;
        },
        close: () => call("DELETE", session).finally(() => driver.kill()),
    };
}

// The Linux program alone in a detached tmux session of the page's terminal's
// size, as tests/screen_test.cpp runs it: the screen with every line above
// it, and the cursor; an ended program's pane stays, with nothing added.
function nativeOnScreen(directory, columns, rows) {
    const home = fs.mkdtempSync(path.join(scratch, "tmux-"));
    fs.writeFileSync(path.join(home, "conf"),
        'set -g remain-on-exit on\nset -g remain-on-exit-format ""\nset -g history-limit 10000\n');
    const tmuxDo = (...args) =>
        spawnSync(tmux, ["-S", path.join(home, "socket"), "-f", path.join(home, "conf"), ...args]).stdout.toString();
    const command = `'${nativeProgram.replaceAll("'", "'\\''")}'`;
    tmuxDo("new-session", "-d", "-x", `${columns}`, "-y", `${rows}`, "-c", directory, command);
    return {
        type: (keys) => keys && tmuxDo("send-keys", "-l", keys.replaceAll("\n", "\r")),
        state() {
            const [text, place] = tmuxDo("capture-pane", "-p", "-S", "-", ";", "display-message", "-p",
                "#{cursor_x} #{history_size} #{cursor_y} #{pane_dead}").split(/\n(?=[^\n]*\n$)/);
            const [x, above, y, dead] = place.trim().split(" ");
            // A tab as the blanks up to the next stop, as the terminal shows it.
            const tabStop = (s) => s.slice(0, -1).padEnd((s.length + 7) & ~7);
            const lines = text.split("\n").map((line) => line.replace(/[^\t]*\t/g, tabStop));
            return { lines, cursor: [Number(x), Number(above) + Number(y)], ended: dead === "1" };
        },
        close: () => tmuxDo("kill-server"),
    };
}

// The page's screen from line `from` on, as the Linux program's is: lines
// without trailing blanks, none empty at the end, and the cursor.
async function pageScreen(tab, from) {
    const { lines, cursor } = await tab.run(() => window.pallimorvenquist.screen());
    return { lines: lines.slice(from), cursor: [cursor[0], cursor[1] - from] };
}
const shown = ({ lines, cursor }, ended) => {
    const text = lines.map((l) => l.trimEnd());
    while (text.length && !text.at(-1)) text.pop();
    return `${text.join("\n")}\n${ended ? "" : `cursor at ${cursor}`}`;
};

async function problems(tab) {
    return [...tab.errors, ...(await tab.run(() => [...window.pallimorvenquist.problems(),
        ...(window.refusedByPolicy ?? []).map((what) => `the page's policy refused ${what}`)]))];
}

// The session's page, opened at its size (or, `again`, its program started
// anew in the last page), with its lists opened there and written to the
// Linux program's `folder`; and the line where the program's output begins.
async function openSession(engine, tabs, s, url, folder) {
    const size = s.phone ? { width: s.phone[0], height: s.phone[1], phone: true } : { width: 1000, height: 700 };
    let tab = tabs.at(-1), from = 0;
    if (s.again) {
        from = (await pageScreen(tab, 0)).cursor[1];
        await tab.click("#restart");
    } else {
        tabs.push((tab = await engine.open(s.turned ? { ...size, width: size.height, height: size.width } : size)));
        await tab.goto(url);
    }
    await tab.run(() => window.pallimorvenquist.idle());
    if (s.turned) await tab.resize(size.width, size.height);
    fs.copyFileSync(path.join(site, "engldict.txt"), path.join(folder, "engldict.txt"));
    for (const [name, contents] of Object.entries(s.lists ?? {})) {
        if (typeof contents === "string") fs.writeFileSync(path.join(folder, name), contents);
        else contents(path.join(folder, name));
        await tab.upload("#file", path.join(folder, name));
        await until(() => tab.run((n) => document.getElementById("status").textContent.startsWith(n), name), 60);
    }
    return { tab, from };
}

const terminalHasKeyboard = (tab) => tab.run(() => document.activeElement.classList.contains("xterm-helper-textarea"));

// The page as laid out for the session: legible on a phone, nothing wider
// than the screen, and the row of keys only on a touch screen. Whether the
// session touches the row's keys.
async function checkLayout(engine, tab, s) {
    const view = await tab.run(async () => {
        await new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
        const widths = [document.documentElement, document.querySelector(".xterm-screen")].map((e) => e.scrollWidth);
        const keys = Array.from(document.querySelectorAll("#keys button"));
        const boxes = keys.map((key) => key.getBoundingClientRect());
        return {
            width: innerWidth, height: innerHeight, over: Math.max(...widths) - innerWidth,
            text: parseFloat(getComputedStyle(document.querySelector(".xterm-rows > div")).fontSize),
            thumbSized: boxes.filter((box) => box.width >= 44 && box.height >= 44).length,
            shown: boxes.filter((box) => box.width).length, named: keys.filter((key) => key.ariaLabel).length,
            ...window.pallimorvenquist.size(),
        };
    });
    console.log(`${s.name}: ${view.width} by ${view.height} CSS pixels, ${view.columns} by ${view.rows}, ` +
        `text of ${view.text} px`);
    if (s.phone) {
        check(view.text >= 12 && view.over <= 0, `${s.name}: text of 12 px or more, nothing wider than the screen`);
        if (view.width !== s.phone[0])
            skip(`${s.name} at ${s.phone[0]} CSS pixels wide: the window is no narrower`);
    }
    if (!s.phone || engine.touchless) {
        check(view.shown === 0, `${s.name}: no row of keys without a touch screen`);
        if (s.phone) skip(`${s.name}: the row of keys: ${engine.touchless}; the keys are typed`);
        return { view, touch: false };
    }
    check(view.thumbSized === 4 && view.named === 4,
        `${s.name}: a row of four keys of 44 by 44 px or more, each named`);
    await tab.run(() => document.activeElement.blur());
    await tab.touch(".xterm-screen");
    check(await terminalHasKeyboard(tab), `${s.name}: a touch gives the terminal the keyboard`);
    return { view, touch: true };
}

// Types `keys`; with `touch`, ?, *, Ctrl-C and Ctrl-D are touched on the row.
async function typeStep(tab, keys, touch) {
    const rowKey = { "?": "?", "*": "*", [ctrlC]: "ctrl-c", [ctrlD]: "ctrl-d" };
    for (const part of (touch ? keys.match(/[?*\x03\x04]|[^?*\x03\x04]+/g) : keys && [keys]) ?? []) {
        if (touch && rowKey[part]) await tab.touch(`#keys [data-key="${rowKey[part]}"]`);
        else await tab.type(part);
    }
    await tab.run(() => window.pallimorvenquist.idle());
    if (touch && /[?*]/.test(keys))
        check(await terminalHasKeyboard(tab), "the terminal keeps the keyboard while the row's keys are touched");
}

// How the session ended: as the Linux program did on a terminal, with its
// bytes and exit status on a pipe; the out-of-memory stop the program's own.
async function checkEnd(tab, s, native, folder, from) {
    const result = await tab.run(() => ({
        ...window.pallimorvenquist.session(), running: window.pallimorvenquist.running(),
        restart: !document.getElementById("restart").hidden,
    }));
    const given = Buffer.from(result.given, "base64"), written = Buffer.from(result.written, "base64");
    if (s.outOfMemory) {
        const stop = outOfMemory.split("\n")[1];
        check(await until(async () => (await pageScreen(tab, from)).lines.includes(stop)) &&
            written.subarray(-outOfMemory.length).toString() === outOfMemory,
            `${s.name}: the program's own stop shows`);
        await typeStep(tab, "\n", false);
        check((await tab.run(() => window.pallimorvenquist.session().status)) === 1,
            `${s.name}: Return ends it with status 1`);
        return;
    }
    const linux = native.state();
    check(!result.running && result.restart && linux.ended,
        `${s.name}: it has ended, as the Linux program has, and the page offers to start again`,
        `the page's program ${result.running ? "runs" : "has ended"}, Start again is ${result.restart ? "" : "not "}` +
        `offered; the Linux program ${linux.ended ? "has ended" : "runs"}`);
    // The Linux program on a pipe, whose input just ends where Ctrl-C was.
    const interrupted = s.keys.at(-1) === ctrlC;
    const piped = spawnSync(nativeProgram, [], { input: given, cwd: folder });
    check(interrupted ? piped.stdout.subarray(0, written.length).equals(written)
        : written.equals(piped.stdout) && result.status === piped.status,
        `${s.name}: the page's bytes${interrupted ? "" : ` and exit status (${result.status})`} are the ` +
        "Linux program's on a pipe for the same input");
}

async function runSession(engine, tabs, s, url) {
    const folder = fs.mkdtempSync(path.join(scratch, "folder-"));
    const { tab, from } = await openSession(engine, tabs, s, url, folder);
    if (s.offline)
        check(await tab.run(() => navigator.serviceWorker.controller !== null),
            `${s.name}: the service worker serves it`);
    const { view, touch } = await checkLayout(engine, tab, s);
    const native = nativeOnScreen(folder, view.columns, view.rows);
    try {
        for (const [step, keys] of ["", ...s.keys].entries()) {
            await typeStep(tab, keys, touch);
            if (s.outOfMemory) continue;
            native.type(keys);
            let page, linux;
            const same = await until(async () => {
                linux = native.state();
                page = await pageScreen(tab, from);
                return shown(page, linux.ended) === shown(linux, linux.ended);
            });
            check(same, `${s.name}: ${keys ? `after ${JSON.stringify(keys)}` : "at the start"} the screen is the ` +
                "Linux program's on a terminal",
                `the page shows:\n${shown(page)}\nthe Linux program on a terminal:\n${shown(linux)}`);
            if (step === s.screenshot) await tab.screenshot(screenshot);
        }
        await checkEnd(tab, s, native, folder, from);
    } finally {
        native.close();
    }
    const found = await problems(tab);
    check(found.length === 0,
        `${s.name}: no error in the page, nothing on the program's standard error, nothing refused`, found.join("\n"));
}

const server = await serve();
const url = `http://127.0.0.1:${server.address().port}/`;
const stopServer = () => new Promise((resolve) => {
    server.closeAllConnections();
    server.close(resolve);
});
const engine = await (engineName === "webkit" ? webDriverEngine() : puppeteerEngine(engineName));
console.log(`${engineName}: ${engine.version}`);
engine.skips.forEach(skip);
let failed = false;
const tabs = [];
try {
    for (const s of sessions) {
        if (s.offline) {
            const ready = await tabs[0].run(() => Promise.race([
                navigator.serviceWorker.ready.then(() => true), new Promise((r) => setTimeout(r, 20000)),
            ]));
            check(ready, "the service worker keeps the site");
            await stopServer();
        }
        await runSession(engine, tabs, s, url);
    }
} catch (error) {
    console.log(error.message);
    failed = true;
} finally {
    await engine.close();
    await stopServer();
    fs.rmSync(scratch, { recursive: true, force: true });
}
console.log(failed ? `The browser test failed in ${engine.version}.`
    : `The browser test passed in ${engine.version}${skips ? `, skipping ${skips} step(s), as said above` : ""}.`);
process.exit(failed ? 1 : 0);
