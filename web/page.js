// The page: a terminal that is the program's console, as a console is to a
// program that reads lines, and the page's own controls around it: opening
// a word list and starting the program again.
//
// The program (pallimorvenquist.js and .wasm, loaded before this script)
// asks for input through readConsoleInput and writes through
// writeConsoleOutput (dialogue/platform_web.cpp). What the user types is
// edited here, as a terminal's line discipline does, and handed over a line
// at a time; lines typed while the program is busy, or before the shipped
// list has arrived, wait in order. Between two reads the program runs
// without a break, and the page with it: keys pressed meanwhile are taken
// when it next waits, Ctrl-C included, which then ends it at once (a
// listing waits at each page pause, so a Ctrl-C stops it there at the
// latest).
//
// For tests and benchmarks, window.pallimorvenquist tells what the current
// run was given and wrote, byte for byte, and when it next waits.

import { FitAddon } from "@xterm/addon-fit";
import { Terminal } from "@xterm/xterm";

const terminalElement = document.getElementById("terminal");
const statusElement = document.getElementById("status");
const restartButton = document.getElementById("restart");
const fileInput = document.getElementById("file");

// What went wrong beside the program's own messages: what it wrote to its
// standard error (only the runtime does, when it fails), an error in the
// page, or something the page's policy refused. Shown on the status line,
// and kept for tests.
const problems = [];
function report(text) {
    problems.push(text);
    say(text);
}
// The program's exit unwinds it with an exception, which after a wait has
// no caller left to catch it: that is no problem.
window.addEventListener("unhandledrejection", (event) => {
    if (event.reason?.name === "ExitStatus") event.preventDefault();
    else report(`Something went wrong in the page: ${event.reason}`);
});
window.addEventListener("error", (event) => report(`Something went wrong in the page: ${event.message}`));
document.addEventListener("securitypolicyviolation", (event) =>
    report(`The page's policy refused ${event.blockedURI || "an inline"} (${event.effectiveDirective})`),
);

const encoder = new TextEncoder();
const endOfInput = null;  // in the queue: Ctrl-D on an empty line
const folder = "/words";  // the program's current folder
const files = new Map();  // name -> bytes: the shipped list and the user's
// The shipped list arrives while the program starts; until it is here (or
// has failed to come) no line goes to the program, which would otherwise
// open the list before it is in its folder. A list of that name that the
// user opened meanwhile stays.
let shippedListArriving = true;
const listArrivingNote = "The shipped word list is still arriving; your line goes to the program when it is here.";
const shippedListHere = fetchShippedList();  // first thing: see the end of this script

const terminal = new Terminal({
    convertEol: true,  // LF as CR LF, as a terminal's output processing does
    screenReaderMode: true,
    cursorBlink: true,
    scrollback: 10000,
    fontFamily: '"DejaVu Sans Mono", "Liberation Mono", Menlo, Consolas, monospace',
    theme: { background: "#1d1f21", foreground: "#e0e0e0" },
});
const fit = new FitAddon();
terminal.loadAddon(fit);
openTerminal();

// The page's policy (the Content-Security-Policy in index.html) admits no
// style but its own files', and the terminal writes the styles it works
// out (its colours, the size of a character cell) into <style> elements
// of its own, which the browser would refuse, and report, even empty. So
// while the terminal opens, each <style> element it asks for is an inert
// <template> instead, whose text goes to a constructed style sheet, which
// the policy allows.
function openTerminal() {
    const createElement = document.createElement;
    document.createElement = function (name, options) {
        if (name !== "style") return createElement.call(this, name, options);
        const element = createElement.call(this, "template");
        const sheet = new CSSStyleSheet();
        document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet];
        Object.defineProperty(element, "textContent", { get: () => "", set: (text) => sheet.replaceSync(text) });
        return element;
    };
    try {
        terminal.open(terminalElement);
    } finally {
        delete document.createElement;
    }
}

// 80 columns by 25 rows or more, the console the program is written for:
// the font shrinks from 16 pixels until they fit, but not below 12, where
// text is still legible on a phone; there the terminal takes what fits,
// and longer lines wrap. Turning the phone, its on-screen keyboard (the
// viewport in index.html lets it resize the page) and a longer status line
// all change the terminal's room, and so fit it anew.
function fitTerminal() {
    for (let size = 16; size >= 12; --size) {
        terminal.options.fontSize = size;
        const fits = fit.proposeDimensions();
        if (!fits) return;
        if ((fits.cols >= 80 && fits.rows >= 25) || size === 12) {
            if (fits.cols !== terminal.cols || fits.rows !== terminal.rows) terminal.resize(fits.cols, fits.rows);
            return;
        }
    }
}
fitTerminal();
new ResizeObserver(fitTerminal).observe(terminalElement);

terminal.onBell(() => {
    terminalElement.classList.add("bell");
    setTimeout(() => terminalElement.classList.remove("bell"), 150);
});
// A touch gives the terminal the focus, and so a phone's keyboard.
terminalElement.addEventListener("touchend", () => terminal.focus());

// The row of keys that a phone's keyboard hides on its other layers, or
// lacks (page.css shows it only where the main pointer is coarse): each
// does what its key does at the terminal. Pressing one takes no focus, so
// the terminal keeps it, and the on-screen keyboard stays up.
const rowKeys = { "?": "?", "*": "*", "ctrl-c": "\x03", "ctrl-d": "\x04" };
for (const button of document.querySelectorAll("#keys button")) {
    button.addEventListener("mousedown", (event) => event.preventDefault());
    button.addEventListener("click", () => {
        typed(rowKeys[button.dataset.key]);
        terminal.focus();
    });
}

// The running program, or null once it has ended; and the last one started.
let run = null;
let lastRun = null;
// Waiting for the program to wait with nothing queued, or to end.
let idleWaiters = [];
const notifyIdle = () => idleWaiters.splice(0).forEach((notify) => notify());

function newRun() {
    return {
        module: null,
        queue: [],  // lines handed over when the program reads, in order
        line: "",  // the line being typed
        read: null,  // the program's pending read: { size, resolve }
        given: [],  // every byte handed to the program, in order
        written: [],  // every byte the program wrote, in order
        unshown: [],  // what it wrote since it last waited
        status: null,
    };
}

// The page draws nothing while the program runs, so what it writes goes to
// the terminal in one piece when it waits (or ends): on screen before each
// wait, as on a console.
function show(r) {
    if (r.unshown.length === 0) return;
    terminal.write(r.unshown.length === 1 ? r.unshown[0] : bytesOf(r.unshown));
    r.unshown = [];
}

function serveRead(r) {
    if (!r.read) return;
    if (r.queue.length === 0) return notifyIdle();
    if (shippedListArriving) return say(listArrivingNote);
    const { size, resolve } = r.read;
    r.read = null;
    const head = r.queue[0];
    if (head === endOfInput) {
        r.queue.shift();
        return resolve(new Uint8Array(0));
    }
    const bytes = head.subarray(0, size);
    if (bytes.length < head.length) r.queue[0] = head.subarray(bytes.length);
    else r.queue.shift();
    r.given.push(bytes);
    resolve(bytes);
}

function hand(r, item) {
    r.queue.push(item);
    serveRead(r);
}

// One key, or one character of a paste, as a terminal in canonical mode
// takes it: shown at the cursor, Backspace takes back one character,
// Return sends the line and its line feed.
function take(r, character) {
    switch (character) {
        case "\r":
        case "\n":
            terminal.write("\r\n");
            hand(r, encoder.encode(r.line + "\n"));
            r.line = "";
            break;
        case "\x7f":
        case "\b":
            if (r.line) {
                r.line = Array.from(r.line).slice(0, -1).join("");
                terminal.write("\b \b");
            }
            break;
        case "\x15":  // Ctrl-U: the whole line
            terminal.write("\b \b".repeat(Array.from(r.line).length));
            r.line = "";
            break;
        case "\x04":  // Ctrl-D: the line as it is, or on an empty one the end
            hand(r, r.line ? encoder.encode(r.line) : endOfInput);
            r.line = "";
            break;
        case "\x03":
            terminal.write("^C\r\n");
            finish(r, "The program was ended with Ctrl-C.");
            break;
        default:
            if (character >= " " || character === "\t") {
                r.line += character;
                terminal.write(character);
            }
    }
}

function typed(data) {
    if (data.startsWith("\x1b")) return;  // arrows and other keys that are no text
    for (const character of data) if (run) take(run, character);
}
terminal.onData(typed);

function finish(r, why) {
    if (run !== r) return;
    run = null;
    r.read = null;  // a pending read is never answered: the program stops there
    notifyIdle();
    say(why);
    restartButton.hidden = false;
    restartButton.focus();
}

function say(text) {
    statusElement.textContent = text;
}

// The program's .wasm, compiled once for every run.
let compiled = null;
function compileProgram() {
    compiled ??= fetch("pallimorvenquist.wasm")
        .then((response) => (response.ok ? response.arrayBuffer() : Promise.reject(response.statusText)))
        .then((bytes) => WebAssembly.compile(bytes));
    return compiled;
}

function start() {
    const r = newRun();
    run = lastRun = r;
    restartButton.hidden = true;
    say("");
    terminal.focus();
    createPallimorvenquist({
        readConsoleInput: (size) =>
            new Promise((resolve) => {
                show(r);
                r.read = { size, resolve };
                serveRead(r);
            }),
        writeConsoleOutput: (bytes) => {
            r.written.push(bytes);
            r.unshown.push(bytes);
        },
        outputIsTerminal: true,
        instantiateWasm: (imports, receive) => {
            compileProgram()
                .then((module) => WebAssembly.instantiate(module, imports).then((i) => receive(i, module)))
                .catch((error) => finish(r, `The program could not start: ${error}.`));
            return {};
        },
        preRun: [
            (module) => {
                r.module = module;
                module.FS.mkdir(folder);
                module.FS.chdir(folder);
                for (const [name, bytes] of files) module.FS.writeFile(name, bytes, { canOwn: true });
            },
        ],
        onExit: (status) => {
            show(r);
            r.status = status;
            finish(r, `The program has ended, with exit status ${status}.`);
        },
        print: () => {},
        printErr: (text) => report(`The program reported: ${text}`),
    }).catch((error) => finish(r, `The program could not start: ${error}.`));
}

// Into the program's folder, for this run and every later one.
function putFile(name, bytes) {
    files.set(name, bytes);
    if (run?.module) run.module.FS.writeFile(name, bytes, { canOwn: true });
}

// The user's word lists go into the program's folder under their own names;
// they never leave the page.
async function addFiles(list) {
    const names = [];
    for (const file of list) {
        putFile(file.name, new Uint8Array(await file.arrayBuffer()));
        names.push(file.name);
    }
    if (names.length)
        say(`${names.join(", ")}: ready; type the name at the first question to load it.`);
    terminal.focus();
}

document.getElementById("open").addEventListener("click", () => fileInput.click());
fileInput.addEventListener("change", () => {
    addFiles(fileInput.files).finally(() => (fileInput.value = ""));
});
document.addEventListener("dragover", (event) => {
    event.preventDefault();
    document.body.classList.add("dragging");
});
document.addEventListener("dragleave", () => document.body.classList.remove("dragging"));
document.addEventListener("drop", (event) => {
    event.preventDefault();
    document.body.classList.remove("dragging");
    addFiles(event.dataTransfer.files);
});
restartButton.addEventListener("click", start);

function bytesOf(chunks) {
    const all = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
    let at = 0;
    for (const chunk of chunks) {
        all.set(chunk, at);
        at += chunk.length;
    }
    return all;
}
const base64 = (bytes) => btoa(Array.from(bytes, (b) => String.fromCharCode(b)).join(""));

// Resolves once the program waits for input with nothing queued, or ends.
function idle() {
    if (lastRun && (!run || (run.read && run.queue.length === 0))) return Promise.resolve();
    return new Promise((resolve) => idleWaiters.push(resolve));
}

window.pallimorvenquist = {
    idle,
    paste: (text) => terminal.paste(text),
    running: () => run !== null,
    size: () => ({ columns: terminal.cols, rows: terminal.rows }),
    problems: () => problems.slice(),
    // What the terminal shows: every line from the top of what it keeps,
    // without trailing blanks, and the cursor's column and line.
    screen: () => {
        const buffer = terminal.buffer.active;
        const lines = [];
        for (let y = 0; y < buffer.length; ++y) lines.push(buffer.getLine(y).translateToString(true));
        return { lines, cursor: [buffer.cursorX, buffer.baseY + buffer.cursorY] };
    },
    // The current run, or the last one: what it was given and wrote, base64.
    session: () => {
        const r = run ?? lastRun;
        return r && { given: base64(bytesOf(r.given)), written: base64(bytesOf(r.written)), status: r.status };
    },
};

function fetchShippedList() {
    return fetch("engldict.txt", { priority: "low" })
        .then((response) => (response.ok ? response.arrayBuffer() : Promise.reject(response.statusText)))
        .then((bytes) => files.has("engldict.txt") || putFile("engldict.txt", new Uint8Array(bytes)))
        .catch((error) => say(`The shipped word list could not be loaded: ${error}.`))
        .finally(() => {
            shippedListArriving = false;
            if (statusElement.textContent === listArrivingNote) say("");
            if (run) serveRead(run);
        });
}

// The program starts at once, while the shipped list arrives. The list is
// asked for first thing in this script, when the page's other files are
// here, and at low priority, so as not to slow the program's own; the
// service worker, which fetches the whole site again to keep it, comes
// when both are here.
start();
Promise.allSettled([compileProgram(), shippedListHere]).then(() => {
    if ("serviceWorker" in navigator) navigator.serviceWorker.register("sw.js");
});
