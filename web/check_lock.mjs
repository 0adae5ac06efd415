// Fails unless every package that the lock file names is downloaded from
// the npm registry: no other host, no git or file dependency.
//   node check_lock.mjs package-lock.json
import fs from "node:fs";

const registry = "https://registry.npmjs.org/";
const lock = JSON.parse(fs.readFileSync(process.argv[2], "utf8"));
const strays = Object.entries(lock.packages)
    .filter(([place, entry]) => place !== "" && !entry.link && !entry.resolved?.startsWith(registry))
    .map(([place, entry]) => `${place}: ${entry.resolved ?? "no download address"}`);
if (strays.length) {
    console.error(`Not from ${registry}:\n${strays.join("\n")}`);
    process.exit(1);
}
