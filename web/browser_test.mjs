// The site in a real browser: headless Chromium, driven by puppeteer-core,
// opens it from a static server on the loopback address that this test
// starts and stops, and a user types one session after another. What the
// program wrote in the page must be, byte for byte, what the Linux program
// writes for the same input. Last, with the server gone and the page
// offline, a second visit must still start the program (the service
// worker). A screenshot after the first search is left for a person.
//
//   node browser_test.mjs SITE NATIVE_PROGRAM NPM_DIR SCREENSHOT [CHROMIUM]

import { spawnSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";

const [site, nativeProgram, npmDir, screenshot, chromium = "/usr/bin/chromium"] = process.argv.slice(2);
const puppeteer = createRequire(path.join(npmDir, "package.json"))("puppeteer-core");
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "pallimorvenquist-browser-"));

const filePrompt = "<RETURN for default of engldict.txt>";
const searchPrompt = "Enter search string? ";
const pausePrompt = "Hit return to continue search ";
const outOfMemory = "\x07\x07\x07\nFATAL ERROR: Application has run out of memory.\nHit return to quit.\n";

function check(condition, what) {
    if (!condition) throw new Error(`failed: ${what}`);
    console.log(`ok: ${what}`);
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
            if (error || !file.startsWith(site)) {
                response.writeHead(404).end();
                return;
            }
            response.writeHead(200, { "Content-Type": types[path.extname(file)] ?? "application/octet-stream" });
            response.end(bytes);
        });
    });
    return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

// The visible rows of the terminal, as a screen reader reads them.
const screen = (page) =>
    page.evaluate(() =>
        Array.from(document.querySelectorAll(".xterm-accessibility-tree > div"), (row) => row.textContent.trimEnd()),
    );

async function waitForScreen(page, what, test) {
    try {
        await page.waitForFunction(
            (source) => {
                const rows = Array.from(document.querySelectorAll(".xterm-accessibility-tree > div"), (row) =>
                    row.textContent.trimEnd(),
                );
                return new Function("rows", `return (${source})(rows)`)(rows);
            },
            { timeout: 20000, polling: 50 },
            test.toString(),
        );
    } catch (error) {
        throw new Error(`failed: ${what}: the screen shows\n${(await screen(page)).join("\n")}`);
    }
    console.log(`ok: ${what}`);
}

// Types keys and waits until the program waits for more with none queued.
async function type(page, keys) {
    for (const key of keys) {
        if (key === "\n") await page.keyboard.press("Enter");
        else await page.keyboard.type(key);
    }
    await page.evaluate(() => window.pallimorvenquist.idle());
}

const session = async (page) => {
    const s = await page.evaluate(() => window.pallimorvenquist.session());
    return { given: Buffer.from(s.given, "base64"), written: Buffer.from(s.written, "base64"), status: s.status };
};

// What the Linux program writes for `input`, started in `directory`.
function native(input, directory) {
    const result = spawnSync(nativeProgram, [], { input, cwd: directory });
    return result.stdout;
}

async function firstSession(page, url) {
    await page.goto(url);
    await waitForScreen(page, "the file prompt", (rows) => rows.includes("<RETURN for default of engldict.txt>"));
    await type(page, "\n");
    await type(page, "n\n");
    await waitForScreen(page, "the search prompt after loading the shipped list", (rows) =>
        rows.some((row) => row.startsWith("Enter search string?")),
    );
    await type(page, "c?t\n");
    await waitForScreen(page, "c?t lists cat, cot and cut", (rows) =>
        ["cat", "cot", "cut"].every((word) => rows.includes(word)),
    );
    await page.screenshot({ path: screenshot });
    await type(page, "ca??\n");
    await waitForScreen(page, "ca?? pauses after 23 matches", (rows) =>
        rows.filter(Boolean).at(-1).startsWith("Hit return to continue search"),
    );
    let rows = await screen(page);
    check(!rows.includes("caws"), "the 24th match waits for Return");
    await type(page, "\n");
    await waitForScreen(page, "Return shows the next page", (rows) => rows.includes("caws"));
    // Ctrl-D at the pause ends the input: the listing runs to its end, as
    // on Linux, and so does the program.
    await page.keyboard.down("Control");
    await page.keyboard.press("d");
    await page.keyboard.up("Control");
    await page.waitForFunction(() => !window.pallimorvenquist.running());
    const s = await session(page);
    check(s.status === 0, "the end of input ends the program with status 0");
    check(s.written.equals(native(s.given, site)), "the page's bytes are the Linux program's for the same input");
}

async function openedListSession(page) {
    const name = "my words.txt";
    fs.writeFileSync(path.join(scratch, name), "Alpha\nbeta\nGamma\ndelta\n");
    await page.click("#restart");
    await waitForScreen(page, "the program starts again", (rows) =>
        rows.filter(Boolean).at(-1) === "<RETURN for default of engldict.txt>",
    );
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#open")]);
    await chooser.accept([path.join(scratch, name)]);
    await page.waitForFunction(() => document.getElementById("status").textContent.includes("my words.txt"));
    await page.focus(".xterm-helper-textarea");
    await type(page, `${name}\n`);
    await type(page, "y\n");
    await type(page, "*a\n");
    await waitForScreen(page, "the opened list is searched", (rows) =>
        ["alpha", "beta", "gamma", "delta"].every((word) => rows.includes(word)),
    );
    await page.keyboard.down("Control");
    await page.keyboard.press("c");
    await page.keyboard.up("Control");
    await page.waitForFunction(() => !document.getElementById("restart").hidden);
    check(!(await page.evaluate(() => window.pallimorvenquist.running())), "Ctrl-C ends the program at once");
    const s = await session(page);
    fs.copyFileSync(path.join(site, "engldict.txt"), path.join(scratch, "engldict.txt"));
    // At the end of input the Linux program ends with a line feed.
    check(
        Buffer.concat([s.written, Buffer.from("\n")]).equals(native(s.given, scratch)),
        "the bytes until Ctrl-C are the Linux program's for the same input",
    );
}

// A list larger than the program's memory may grow to.
async function outOfMemorySession(page) {
    const name = "huge.txt";
    const line = "x".repeat(99) + "\n";
    const file = fs.openSync(path.join(scratch, name), "w");
    const block = Buffer.from(line.repeat(10000));
    for (let i = 0; i < 280; ++i) fs.writeSync(file, block);  // 280 MB
    fs.closeSync(file);
    await page.click("#restart");
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#open")]);
    await chooser.accept([path.join(scratch, name)]);
    await page.waitForFunction(() => document.getElementById("status").textContent.includes("huge.txt"), {
        timeout: 60000,
    });
    await page.focus(".xterm-helper-textarea");
    await type(page, `${name}\n`);
    await type(page, "n\n");
    await waitForScreen(page, "the out-of-memory stop shows", (rows) =>
        rows.includes("FATAL ERROR: Application has run out of memory."),
    );
    const before = await session(page);
    check(before.written.subarray(-outOfMemory.length).toString() === outOfMemory, "it is the program's own stop");
    await type(page, "\n");
    await page.waitForFunction(() => !window.pallimorvenquist.running());
    check((await session(page)).status === 1, "Return ends it with status 1");
}

async function offlineVisit(browser, url) {
    const page = await browser.newPage();
    await page.setOfflineMode(true);
    await page.goto(url);
    await waitForScreen(page, "offline, the second visit starts the program", (rows) =>
        rows.includes("<RETURN for default of engldict.txt>"),
    );
    await type(page, "\n");
    await type(page, "n\n");
    await type(page, "c?t\n");
    await waitForScreen(page, "and it searches", (rows) => rows.includes("cut"));
}

// A phone as Chromium emulates it, on its side, then turned upright with
// the page open: legible text, nothing wider than the screen, a touch gives
// the terminal the keyboard, and a session searches.
const phones = [[844, 390, "a phone on its side"], [390, 844, "a phone upright"]];
async function phoneSessions(browser, url) {
    const page = await browser.newPage();
    for (const [width, height, name] of phones) {
        await page.goto(url);
        await page.setViewport({ width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
        const view = await page.evaluate(async () => {
            await new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
            const widths = [document.documentElement, document.querySelector(".xterm-screen")].map((e) => e.scrollWidth);
            const text = parseFloat(getComputedStyle(document.querySelector(".xterm-rows > div")).fontSize);
            return { text, over: Math.max(...widths) - window.innerWidth, ...window.pallimorvenquist.size() };
        });
        check(view.text >= 12 && view.over <= 0, `${name}: text of ${view.text} px, ${view.columns} by ${view.rows}, ` +
            "nothing wider than the screen");
        await page.evaluate(() => document.activeElement.blur());
        await page.touchscreen.tap(width / 2, height / 2);
        const focused = await page.evaluate(() => document.activeElement.classList.contains("xterm-helper-textarea"));
        check(focused, `${name}: a touch gives the terminal the keyboard`);
        await type(page, "\nn\nc?t\n");
        await waitForScreen(page, `${name}: c?t lists cat`, (rows) => rows.includes("cat"));
    }
    await page.close();
}

const server = await serve();
const url = `http://127.0.0.1:${server.address().port}/`;
const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: path.join(scratch, "profile"),
    args: [
        "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
        "--disable-component-update", "--disable-sync", "--window-size=1000,700",
    ],
    defaultViewport: { width: 1000, height: 700 },
});
let failed = false;
try {
    const page = await browser.newPage();
    page.on("pageerror", (error) => console.log(`page error: ${error}`));
    await firstSession(page, url);
    await openedListSession(page);
    await outOfMemorySession(page);
    await phoneSessions(browser, url);
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.close();
    server.closeAllConnections();
    await new Promise((resolve) => server.close(resolve));
    await offlineVisit(browser, url);
} catch (error) {
    console.log(error.message);
    failed = true;
} finally {
    await browser.close();
    server.closeAllConnections();
    server.close();
    fs.rmSync(scratch, { recursive: true, force: true });
}
console.log(failed ? "The browser test failed." : "The browser test passed.");
process.exit(failed ? 1 : 0);
