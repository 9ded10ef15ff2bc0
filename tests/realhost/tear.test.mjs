// Only whole frames reach the screen: a short run of the tear benchmark
// (bench/realhost/tear/) for the module under test. frame-publisher writes
// four palette streams (every frame one flat colour whose Y, U and V each say
// which frame it is); a speaker and a 2x2 gallery are started again and
// again while tear-load oversubscribes the CPU, and their pictures are
// sampled through the first second of drawing, where a writer that starts
// the next frame during the module's read shows most. In tallwick-shell
// (screenshots) and in pphost on the real clock (snapshots of the presented
// images), no sampled picture may mix frames: no rows from two frames, no
// plane from another frame than the others.
// TEAR_ANALYSE and TEAR_LOAD name the benchmark's programs (ctest sets them).
import assert from "node:assert/strict";
import os from "node:os";
import { after, before, describe, test } from "node:test";
import * as tear from "../../bench/realhost/tear/tear_session.mjs";
import { env, outPath } from "./shell_fixture.mjs";

// Per host: a sample gives two pictures (the speaker's and the gallery's).
const kPictures = 120;
const kAtLeast = 60;
const tools = { analyse: process.env.TEAR_ANALYSE, load: process.env.TEAR_LOAD };

function describeFailures(summary) {
  const examples = [...summary.examples.torn, ...summary.examples.unreadable];
  return examples.map((e) => `${e.text} (${e.png})`).join("\n");
}

describe("whole frames only, across element starts under CPU load", {
  skip: !tools.analyse || !tools.load ? "TEAR_ANALYSE and TEAR_LOAD are not set (the benchmarks are not built)" : false,
}, () => {
  let publisher;
  before(async () => {
    publisher = await tear.startPublisher(process.env.FRAME_PUBLISHER);
  });
  after(async () => publisher?.stop());

  for (const host of ["shell", "pphost"]) {
    test(`${host}: no sampled picture mixes frames, and both elements draw`, async () => {
      const dir = outPath(`tear-${host}`);
      const common = { module: env.module, diffs: publisher.diffs, pictures: kPictures, dir };
      // As the benchmark loads each host: pphost reads a frame far faster.
      const load = tear.startLoad(tools.load, (host === "pphost" ? 2 : 1) * os.availableParallelism());
      let result;
      try {
        result =
          host === "pphost"
            ? await tear.samplePphost({ ...common, pphost: env.pphost })
            : await tear.sampleShell({ ...common, shell: env.shell, web: env.web, expectedYield: 0.5 });
      } finally {
        await load.stop();
      }
      const summary = tear.analyse(tools.analyse, result.job, dir);
      assert.deepEqual(summary.unreadable_files, [], "every picture file reads");
      assert.ok(summary.pictures.sampled >= kAtLeast, `only ${summary.pictures.sampled} pictures sampled (see ${dir})`);
      for (const [id, counts] of Object.entries(result.frames)) {
        assert.ok(counts.shown > 0, `${id} showed no frame in its count windows`);
      }
      const { torn, unreadable, sampled } = summary.pictures;
      assert.equal(torn, 0, `${torn} of ${sampled} pictures mix frames:\n${describeFailures(summary)}`);
      assert.equal(unreadable, 0, `${unreadable} pictures have rows of no frame:\n${describeFailures(summary)}`);
    });
  }
});
