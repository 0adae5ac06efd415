// The web build's program as a console program under Node.js: the same
// .wasm as the site's, its console joined to this process's standard input
// and output byte for byte, and the machine's files seen where they lie,
// from the current folder. Started as `node pallimorvenquist.mjs` from any
// folder; the site's folder, site/, lies beside this file.
//
// As the Linux program on a pipe, output to anything but a terminal goes
// out in blocks of 4096 bytes, and the rest at the end; on a terminal every
// message goes out as it is written. The exit status is the program's.

import fs from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import tty from "node:tty";
import { fileURLToPath } from "node:url";

const site = path.join(path.dirname(fileURLToPath(import.meta.url)), "site");
const createProgram = createRequire(import.meta.url)(path.join(site, "pallimorvenquist.js"));

const outputIsTerminal = tty.isatty(1);
const block = 4096;

// Writes all of `bytes` to standard output, waiting while a pipe is full.
function writeOut(bytes) {
    for (let done = 0; done < bytes.length;) {
        try {
            done += fs.writeSync(1, bytes, done);
        } catch (error) {
            if (error.code === "EPIPE") process.exit(141);  // as SIGPIPE would
            if (error.code !== "EAGAIN") throw error;
            Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0, 1);
        }
    }
}

let held = [];
let heldBytes = 0;

function flushHeld() {
    if (heldBytes === 0) return;
    writeOut(Buffer.concat(held, heldBytes));
    held = [];
    heldBytes = 0;
}

function writeConsoleOutput(bytes) {
    if (outputIsTerminal) return writeOut(bytes);
    held.push(bytes);
    heldBytes += bytes.length;
    if (heldBytes < block) return;
    const all = Buffer.concat(held, heldBytes);
    const whole = all.length - (all.length % block);
    writeOut(all.subarray(0, whole));
    held = [all.subarray(whole)];
    heldBytes = all.length - whole;
}

// What is there to read, as one read(2) of standard input returns it; none
// at the end of input (or on an error, which ends it too).
function readConsoleInput(size) {
    return new Promise((resolve) => {
        const buffer = Buffer.alloc(size);
        const attempt = () =>
            fs.read(0, buffer, 0, size, null, (error, got) => {
                if (error && error.code === "EAGAIN") return setTimeout(attempt, 5);
                resolve(error ? new Uint8Array(0) : buffer.subarray(0, got));
            });
        attempt();
    });
}

// The errno values of the program's C library for the errors met here.
const errnos = { EACCES: 2, EISDIR: 31, ELOOP: 32, ENAMETOOLONG: 37, ENOENT: 44, ENOTDIR: 54 };

// A name is the bytes the program gives, whether UTF-8 or not: in the
// program's file system each byte is one character (Latin-1), which
// emscripten's file system splits at "/" as the system does, and the system
// gets the bytes back as a Buffer.
const nameOfBytes = (bytes) => Buffer.from(bytes).toString("latin1");
const bytesOfName = (name) => Buffer.from(name, "latin1");
const asNames = { encoding: "latin1" };

// The machine's file system, read-only, for the program's word lists: each
// folder of the root is mounted at its own name, so that paths mean what
// they mean to any other program. Reads go through read(2) in order (the
// program never seeks), so that a FIFO or a device reads as a file does.
function hostFileSystem(FS) {
    const fail = (error) => {
        throw new FS.ErrnoError(errnos[error.code] ?? 29);  // EIO
    };
    const hostPath = (node) => {
        const names = [];
        for (; node.parent !== node; node = node.parent) names.unshift(node.name);
        return path.join(node.mount.opts.root, ...names);
    };
    const statOf = (file) => {
        try {
            return fs.statSync(bytesOfName(file));
        } catch (error) {
            fail(error);
        }
    };
    const hostFs = {
        mount: (mount) => createNode(null, "/", statOf(mount.opts.root).mode),
        node_ops: {
            getattr: (node) => {
                const s = statOf(hostPath(node));
                return {
                    dev: s.dev, ino: s.ino, mode: s.mode, nlink: s.nlink, uid: s.uid, gid: s.gid,
                    rdev: s.rdev, size: s.size, atime: s.atime, mtime: s.mtime, ctime: s.ctime,
                    blksize: s.blksize, blocks: s.blocks,
                };
            },
            lookup: (parent, name) => {
                const file = path.join(hostPath(parent), name);
                return createNode(parent, name, statOf(file).mode);
            },
            readdir: (node) => {
                try {
                    return [".", "..", ...fs.readdirSync(bytesOfName(hostPath(node)), asNames)];
                } catch (error) {
                    fail(error);
                }
            },
        },
        stream_ops: {
            open: (stream) => {
                try {
                    stream.nfd = fs.openSync(bytesOfName(hostPath(stream.node)), "r");
                } catch (error) {
                    fail(error);
                }
            },
            close: (stream) => fs.closeSync(stream.nfd),
            read: (stream, buffer, offset, length) => {
                try {
                    return fs.readSync(stream.nfd, buffer, offset, length, null);
                } catch (error) {
                    fail(error);
                }
            },
            llseek: (stream, offset, whence) => (whence === 1 ? stream.position + offset : offset),
        },
    };
    function createNode(parent, name, mode) {
        const node = FS.createNode(parent, name, mode);
        node.node_ops = hostFs.node_ops;
        node.stream_ops = hostFs.stream_ops;
        return node;
    }
    return hostFs;
}

function mountHost(FS) {
    const hostFs = hostFileSystem(FS);
    for (const name of fs.readdirSync("/", asNames)) {
        if (["dev", "proc", "sys"].includes(name)) continue;
        const folder = "/" + name;
        try {
            if (!fs.statSync(bytesOfName(folder)).isDirectory()) continue;
        } catch {
            continue;
        }
        if (!FS.analyzePath(folder).exists) FS.mkdir(folder);
        FS.mount(hostFs, { root: folder }, folder);
    }
    try {
        FS.chdir(fs.realpathSync.native(".", asNames));
    } catch {
        // A folder that the program cannot enter: it starts at the root.
    }
}

createProgram({
    wasmBinary: fs.readFileSync(path.join(site, "pallimorvenquist.wasm")),
    readConsoleInput,
    writeConsoleOutput,
    outputIsTerminal,
    pathFromBytes: nameOfBytes,
    preRun: [(module) => mountHost(module.FS)],
    onExit: (status) => {
        flushHeld();
        process.exit(status);
    },
});
