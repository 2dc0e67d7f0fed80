// Replays reviews through ts-fsrs, the reference our memory model must agree with.
// Usage: node fsrs_reference.js INPUT OUTPUT
// INPUT: [{"card": n, "elapsed": days since that card's last review, "grade": 1..4}, ...]
// OUTPUT: one {"stability", "difficulty", "retrievability", "interval"} per review, where
// retrievability is that of the card just before the review (null on its first).
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');

const pinned = '5.4.2';
const folder = process.env.PRAXILO_FSRS_DIR ||
    path.join(process.env.XDG_CACHE_HOME || path.join(os.homedir(), '.cache'), 'praxilo', 'fsrs');
const packageFolder = path.join(folder, 'node_modules', 'ts-fsrs');

function fail(message) {
    process.stderr.write(`${message}\n`);
    process.exit(2);
}

let lib;
try {
    const version = require(path.join(packageFolder, 'package.json')).version;
    if (version !== pinned) {
        fail(`ts-fsrs ${version} in ${folder} is not the pinned ${pinned}: run scripts/deps`);
    }
    lib = require(packageFolder);
} catch (error) {
    const reason = error.message.split('\n')[0];
    fail(`ts-fsrs ${pinned} is not installed in ${folder}: run scripts/deps (${reason})`);
}

const [input, output] = process.argv.slice(2);
if (!input || !output) {
    fail('usage: node fsrs_reference.js INPUT OUTPUT');
}

const f = lib.fsrs({request_retention: 0.9, maximum_interval: 36500, enable_fuzz: false});
const cards = new Map();
const results = JSON.parse(fs.readFileSync(input, 'utf8')).map(({card, elapsed, grade}) => {
    const before = cards.get(card);
    const after = f.next_state(before ?? null, before ? elapsed : 0, grade);
    cards.set(card, after);
    return {
        stability: after.stability,
        difficulty: after.difficulty,
        retrievability: before ? f.forgetting_curve(elapsed, before.stability) : null,
        interval: f.next_interval(after.stability, before ? elapsed : 0),
    };
});
fs.writeFileSync(output, JSON.stringify(results));
