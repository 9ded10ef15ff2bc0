// One scenario through both hosts: pphost (virtual clock) and tallwick-shell
// (Chromium, real time, web/scenario.html playing the same lines). What each
// element's instance posts must be the same, compared as parsed JSON (key
// order and 1.0 against 1 cannot differ). Masked, each for the reason given:
//   - the order between elements: each element's posts are compared on their
//     own, as the hosts interleave elements by their own timing;
//   - PONG: a heartbeat a second, so its count follows elapsed time (virtual
//     against real); both hosts must post it or neither, and the counts may
//     differ by the real run's extra seconds;
//   - the controller's repeated INSTANCE_LOADED: the handshake repeats it
//     every 200 ms until the first message, and the real page's first
//     message comes later than pphost's; at least one, none after the first
//     reply;
//   - per-tile events of one gallery tick (MULTI_RENDER_STARTED,
//     MULTI_FRAME_STATUS_CHANGE): their order between tiles follows each
//     tile's timer, so a run of them is compared as a set;
//   - "timestamp" in GET_FRAME_COUNT replies: ms of a clock (virtual or real);
//   - frame-status changes at the very end of an element's posts: the
//     no-frame threshold runs on real time in the shell, and one that pphost
//     reaches just before the element is removed may not have fired yet.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { readFileSync, rmSync } from "node:fs";
import path from "node:path";
import { isDeepStrictEqual } from "node:util";
import { env, page, postsOf, runPphost, runShell } from "./shell_fixture.mjs";

const kPerTile = new Set(["MULTI_RENDER_STARTED", "MULTI_FRAME_STATUS_CHANGE"]);
const kStatusChanges = new Set(["RENDER_FRAME_STATUS_CHANGE", "MULTI_FRAME_STATUS_CHANGE"]);

function withoutTimestamps(message) {
  if (message.response !== "GET_FRAME_COUNT" || !message.data) return message;
  const data = Object.fromEntries(
    Object.entries(message.data).map(([key, value]) => [key, { ...value, timestamp: "masked" }]),
  );
  return { ...message, data };
}

// Runs of per-tile events sorted by tile, so that their order between tiles
// does not count.
function tilesAsSets(messages) {
  const out = [];
  let run = [];
  const flush = () => {
    run.sort((a, b) => JSON.stringify(a).localeCompare(JSON.stringify(b)));
    out.push(...run);
    run = [];
  };
  for (const message of messages) {
    if (kPerTile.has(message.command)) run.push(message);
    else {
      flush();
      out.push(message);
    }
  }
  flush();
  return out;
}

// What is compared of one element's posts, and what is counted apart.
function comparable(messages) {
  let loaded = 0;
  let pongs = 0;
  let replied = false;
  const rest = [];
  for (const message of messages.map(withoutTimestamps)) {
    if (message.command === "PONG") pongs += 1;
    else if (message.command === "INSTANCE_LOADED") {
      assert.ok(!replied, "INSTANCE_LOADED after the first reply");
      loaded += 1;
    } else {
      replied ||= message.response !== undefined;
      rest.push(message);
    }
  }
  return { loaded, pongs, sequence: tilesAsSets(rest) };
}

function assertSamePosts(expectedLines, actualLines, { id, controller, extraSeconds }) {
  const expected = comparable(postsOf(expectedLines, id));
  const actual = comparable(postsOf(actualLines, id));
  assert.ok(actual.loaded >= 1 && expected.loaded >= 1, `${id}: INSTANCE_LOADED`);
  if (!controller) assert.equal(actual.loaded, expected.loaded, `${id}: INSTANCE_LOADED once`);
  assert.equal(actual.pongs > 0, expected.pongs > 0, `${id}: PONG in one host only`);
  assert.ok(Math.abs(actual.pongs - expected.pongs) <= 1 + extraSeconds, `${id}: PONG ${actual.pongs}/${expected.pongs}`);
  const wanted = withoutMissedLastStatus(expected.sequence, actual.sequence.length);
  const from = wanted.findIndex((message, i) => !isDeepStrictEqual(actual.sequence[i], message));
  const differs = from >= 0 ? from : actual.sequence.length === wanted.length ? -1 : wanted.length;
  if (differs >= 0) {
    assert.deepEqual(actual.sequence.slice(differs), wanted.slice(differs), `${id}: posts differ from #${differs}`);
  }
}

// The no-frame threshold is a real-time timer in the shell: a status change
// that pphost posts just before the scenario removes the element may not
// have fired yet in the real page. Only such a missing tail is let pass.
function withoutMissedLastStatus(expected, actualLength) {
  const tail = expected.slice(actualLength);
  return tail.length > 0 && tail.every((message) => kStatusChanges.has(message.command))
    ? expected.slice(0, actualLength)
    : expected;
}

// pphost may fail only lines that the real page did not play (a picture
// read back from a host with no context, say): those are not compared.
function assertOnlyUnplayedLinesFailed(pphost, shell) {
  const skipped = new Set(shell.lines.filter((line) => line.kind === "skipped").map((line) => line.seq));
  const failed = pphost.lines.filter((line) => line.kind === "error").map((line) => line.seq);
  assert.ok(failed.every((seq) => skipped.has(seq)), `pphost failed on lines ${failed.join(", ")}`);
  assert.equal(pphost.status, failed.length > 0 ? 1 : 0, "pphost's status");
}

// The scenario's elements that carry the controller attribute: only they
// repeat INSTANCE_LOADED.
function controllerIds(script) {
  return readFileSync(script, "utf8")
    .split("\n")
    .filter((text) => text.trim())
    .map((text) => JSON.parse(text))
    .filter((line) => line.op === "create" && (line.attrs || []).some(([name]) => name === "data-controller"))
    .map((line) => line.id);
}

// Plays scenarios/NAME.jsonl in both hosts (each with its own extra
// arguments) and compares what every element posted.
export async function compareScenario(name, { pphostArgs = [], shellArgs = [] } = {}) {
  const script = path.join(env.scenarios, `${name}.jsonl`);
  const pphost = runPphost(script, pphostArgs);
  const shell = await runShell([page("scenario.html", { script })], { seconds: 60, args: shellArgs });
  assert.equal(shell.status, 0, `shell on ${name}:\n${shell.stderr}`);
  const done = shell.lines.find((line) => line.kind === "done");
  assert.ok(done && !done.failed, `the scenario ran to its end: ${JSON.stringify(shell.lines.filter((l) => l.kind === "error"))}`);
  assertOnlyUnplayedLinesFailed(pphost, shell);
  const ids = [...new Set(pphost.lines.filter((line) => line.kind === "post").map((line) => line.id))];
  assert.ok(ids.length > 0);
  const extraSeconds = Math.ceil((done.t - shell.lines.find((l) => l.kind === "scenario").t) / 1000);
  const controllers = controllerIds(script);
  for (const id of ids) {
    assertSamePosts(pphost.lines, shell.lines, { id, controller: controllers.includes(id), extraSeconds });
  }
  return { pphost, shell };
}

// Runs `body` while the gallery example's two segments hold one solid frame
// each (red for u1, green for u2), then removes them.
export async function withExampleSegments(body) {
  const segments = ["/tallwick-example-red", "/tallwick-example-green"];
  const written = spawnSync(process.env.FRAME_PUBLISHER, [
    "--frames", "1", "--keep",
    "--stream", `name=${segments[0]};uid=u1;sid=s1;width=320;height=180;pattern=solid:255,0,0`,
    "--stream", `name=${segments[1]};uid=u2;sid=s2;width=320;height=180;pattern=solid:0,255,0`,
  ]);
  assert.equal(written.status, 0, "frame-publisher");
  try {
    return await body();
  } finally {
    for (const segment of segments) rmSync(`/dev/shm${segment}`, { force: true });
  }
}
