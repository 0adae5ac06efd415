// The site in headless Chromium against the Linux program, in the same run:
// the time from opening the page to its first prompt and to the search
// prompt with the shipped list, on a first visit (also over a slow link)
// and a later one, and the time of each query of bench/queries.txt over the shipped
// list and over a list opened through the page's button; medians over
// alternating rounds. Run by bench/web.sh, which builds both.
//
//   node web_bench.mjs SITE NPM_DIR NATIVE_PROGRAM QUERIES LIST ROUNDS [CHROMIUM]
//
// A query's time in the page is measured inside the page, from handing it
// its line (and one empty line for every pause of its listing) to the
// program's next wait for input; drawing what it wrote comes after, at the
// browser's pace. The Linux program's is measured on a pseudo-terminal, as
// the page's program is on its terminal (both write each message as it
// goes), from writing the same bytes to the terminal to its next search
// prompt: it includes the terminal's round trip, a millisecond or so.

import { spawn, spawnSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";

const [site, npmDir, nativeProgram, queriesFile, list, roundsText, chromium = "/usr/bin/chromium"] =
    process.argv.slice(2);
const rounds = Number(roundsText);
const queries = fs.readFileSync(queriesFile, "utf8").split("\n").filter(Boolean);
const puppeteer = createRequire(path.join(npmDir, "package.json"))("puppeteer-core");
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "pallimorvenquist-bench-"));
const searchPrompt = "Enter search string? ";
const pausePrompt = "Hit return to continue search ";

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const count = (text, what) => text.split(what).length - 1;

function serve() {
    const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm" };
    const server = http.createServer((request, response) => {
        const name = new URL(request.url, "http://x").pathname.replace(/\/$/, "/index.html");
        fs.readFile(path.join(site, path.normalize(name)), (error, bytes) => {
            if (error) return response.writeHead(404).end();
            response.writeHead(200, { "Content-Type": types[path.extname(name)] ?? "application/octet-stream" });
            response.end(bytes);
        });
    });
    return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

// Each query's line and one empty line for every pause of its listing, as
// a dry run of the Linux program counts them (surplus empty lines at the
// search prompt are skipped).
function queryInputs(answer, directory) {
    const input = `${answer}\nn\n` + queries.map((q) => `${q}\n${"\n".repeat(30000)}`).join("");
    const output = spawnSync(nativeProgram, [], { input, cwd: directory, maxBuffer: 1 << 30 }).stdout.toString("latin1");
    const searches = output.split(searchPrompt).slice(1, -1);
    return queries.map((q, i) => `${q}\n${"\n".repeat(count(searches[i], pausePrompt))}`);
}

// The Linux program on a pseudo-terminal (script(1)), started in
// `directory` and driven prompt by prompt.
class NativeSession {
    constructor(directory) {
        const quoted = `'${nativeProgram.replaceAll("'", "'\\''")}'`;
        this.child = spawn("script", ["-qfec", quoted, "/dev/null"], { cwd: directory });
        this.prompts = 0;
        this.carry = "";
        this.waiters = [];
        this.child.stdout.on("data", (chunk) => {
            const text = this.carry + chunk.toString("latin1");
            this.prompts += count(text, searchPrompt);
            this.carry = text.slice(-(searchPrompt.length - 1));
            for (const w of this.waiters.splice(0)) w();
        });
    }
    async send(text) {
        const target = this.prompts + 1;
        const started = process.hrtime.bigint();
        this.child.stdin.write(text);
        while (this.prompts < target) await new Promise((resolve) => this.waiters.push(resolve));
        return Number(process.hrtime.bigint() - started) / 1e6;
    }
    end() {
        this.child.kill();
    }
}

async function pageQuery(page, text) {
    return page.evaluate(async (text) => {
        const started = performance.now();
        window.pallimorvenquist.paste(text);
        await window.pallimorvenquist.idle();
        return performance.now() - started;
    }, text);
}

async function pageSession(browser, url, listFile) {
    const page = await browser.newPage();
    await page.goto(url);
    await page.evaluate(() => window.pallimorvenquist.idle());
    let answer = "";
    if (listFile) {
        const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#open")]);
        await chooser.accept([listFile]);
        answer = path.basename(listFile);
        await page.waitForFunction((name) => document.getElementById("status").textContent.includes(name), {}, answer);
    }
    await pageQuery(page, `${answer}\n`);
    const load = await pageQuery(page, "n\n");
    return { page, load };
}

// One visit, in the page's own clock from the start of its navigation: the
// first prompt (the file question), then, after Return and `n`, the search
// prompt with the shipped list loaded. A first visit leaves the service
// worker in place for the next.
async function visit(context, url, network) {
    const page = await context.newPage();
    if (network) await page.emulateNetworkConditions(network);
    await page.goto(url, { waitUntil: "domcontentloaded" });
    await page.waitForFunction(() => window.pallimorvenquist, { polling: 5 });
    const first = await page.evaluate(async () => {
        await window.pallimorvenquist.idle();
        return performance.now();
    });
    await page.keyboard.press("Enter");
    await page.keyboard.type("n");
    await page.keyboard.press("Enter");
    await page.waitForFunction(() => {
        const s = window.pallimorvenquist.session();
        return s && atob(s.written).endsWith("Enter search string? ");
    }, { polling: 5 });
    const search = await page.evaluate(() => performance.now());
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.close();
    return { first, search };
}

const visitTimes = (visits) => {
    const ms = (key) => `${median(visits.map((v) => v[key])).toFixed(0)} ms ` +
        `(${visits.map((v) => v[key].toFixed(0)).join(", ")})`;
    return `first prompt ${ms("first")}, search prompt ${ms("search")}`;
};

// Each round a first visit in a fresh browser context (its own cache and
// service worker) and a later one; then first visits over a link of 16
// Mbit/s, where the shipped list alone takes seconds to arrive.
async function visits(browser, url) {
    const first = [], later = [], slow = [];
    for (let i = 0; i < rounds; ++i) {
        const context = await browser.createBrowserContext();
        first.push(await visit(context, url));
        later.push(await visit(context, url));
        await context.close();
    }
    for (let i = 0; i < Math.min(rounds, 3); ++i) {
        const context = await browser.createBrowserContext();
        slow.push(await visit(context, url, { download: 2e6, upload: 2e6, latency: 20 }));
        await context.close();
    }
    const size = fs.statSync(path.join(site, "engldict.txt")).size;
    console.log(`Opening the page, the shipped list of ${size} bytes; medians:`);
    console.log(`- first visit: ${visitTimes(first)}`);
    console.log(`- later visits: ${visitTimes(later)}`);
    console.log(`- first visit at 16 Mbit/s: ${visitTimes(slow)}`);
}

const server = await serve();
const url = `http://127.0.0.1:${server.address().port}/`;
const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: path.join(scratch, "profile"),
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
        "--disable-component-update", "--disable-sync"],
});
try {
    await visits(browser, url);

    for (const [title, listFile] of [["engldict.txt (shipped)", null], [list, list]]) {
        const directory = listFile ? path.dirname(listFile) : site;
        const inputs = queryInputs(listFile ? path.basename(listFile) : "", directory);
        const { page, load } = await pageSession(browser, url, listFile);
        const native = new NativeSession(directory);
        await native.send(`${listFile ? path.basename(listFile) : ""}\nn\n`);
        const times = queries.map(() => ({ native: [], page: [] }));
        for (let round = 0; round < rounds; ++round) {
            for (let i = 0; i < queries.length; ++i) {
                times[i].native.push(await native.send(inputs[i]));
                times[i].page.push(await pageQuery(page, inputs[i]));
            }
        }
        native.end();
        await page.close();
        console.log(`\n${title}: loaded in the page in ${load.toFixed(1)} ms; medians of ${rounds} rounds`);
        console.log("| query | Linux, at a terminal | page | page / Linux |\n|---|---|---|---|");
        let nativeAll = 0, pageAll = 0, worst = 0;
        times.forEach((t, i) => {
            const n = median(t.native), p = median(t.page);
            nativeAll += n;
            pageAll += p;
            worst = Math.max(worst, p / n);
            console.log(`| \`${queries[i]}\` | ${n.toFixed(1)} ms | ${p.toFixed(1)} ms | ${(p / n).toFixed(2)} |`);
        });
        console.log(`| all 20 | ${nativeAll.toFixed(0)} ms | ${pageAll.toFixed(0)} ms | ${(pageAll / nativeAll).toFixed(2)} |`);
        console.log(`The slowest query relative to Linux: ${worst.toFixed(2)} times.`);
    }
} finally {
    await browser.close();
    server.closeAllConnections();
    server.close();
    fs.rmSync(scratch, { recursive: true, force: true });
}
