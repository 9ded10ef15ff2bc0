// The page client's names against the module's: the constants of
// web/tallwick-render.js against src/embed/protocol.h (and the error texts of
// protocol.cpp), and the declarations of web/tallwick-render.d.ts against the
// names the module has and the command table of docs/page-protocol.md, which
// the docs tests hold to what each element answers. Node only, no browser.
import assert from "node:assert/strict";
import { readdirSync, readFileSync } from "node:fs";
import { describe, test } from "node:test";
import * as client from "../../web/tallwick-render.js";

const root = new URL("../../", import.meta.url);
const read = (path) => readFileSync(new URL(path, root), "utf8");

// C++ source without its comments (string literals kept as they are).
function withoutComments(source) {
  return source.replace(/("(?:\\.|[^"\\])*")|\/\/[^\n]*|\/\*[\s\S]*?\*\//g, (match, literal) => literal ?? "");
}

// "InstanceTypeMismatch" -> "INSTANCE_TYPE_MISMATCH", as the client names codes.
function upperSnake(name) {
  return name.replace(/([a-z0-9])([A-Z])/g, "$1_$2").toUpperCase();
}

// The protocol header's constants, by name: strings, and numbers with the
// frame layer's codes that the error enum takes over resolved.
function headerConstants() {
  const code = withoutComments(read("src/embed/protocol.h"));
  const numbers = Object.fromEntries(
    [...withoutComments(read("src/frame/parse_result.h")).matchAll(/\b(k\w+)\s*=\s*(-?\d+)\s*;/g)].map((m) => [
      m[1],
      Number(m[2]),
    ]),
  );
  const constants = {};
  for (const [, name, value] of code.matchAll(/\b(k\w+)\s*=\s*("[^"]*"|-?\d+|k\w+)\s*[;,]/g)) {
    constants[name] = value.startsWith('"') ? JSON.parse(value) : /^-?\d/.test(value) ? Number(value) : numbers[value];
  }
  const declared = [...code.matchAll(/\b(k\w+)\s*=[^=]/g)].map((m) => m[1]);
  assert.ok(declared.length > 50, "the protocol header's constants were not found");
  assert.deepEqual(Object.keys(constants).sort(), declared.sort(), "constants of protocol.h this test cannot read");
  for (const name of declared) assert.notEqual(constants[name], undefined, `${name} has no value this test can read`);
  return constants;
}

// The constants whose names start with prefix, their names without it.
function group(constants, prefix) {
  return Object.fromEntries(
    Object.entries(constants)
      .filter(([name]) => name.startsWith(prefix))
      .map(([name, value]) => [name.slice(prefix.length), value]),
  );
}

// The error texts of protocol.cpp, in code order.
function moduleErrorTexts() {
  const table = withoutComments(read("src/embed/protocol.cpp")).match(/kTexts\s*=\s*\{([^}]*)\}/);
  assert.ok(table, "protocol.cpp's table of error texts was not found");
  return [...table[1].matchAll(/"((?:\\.|[^"\\])*)"/g)].map((m) => JSON.parse(`"${m[1]}"`));
}

describe("the client's constants are the protocol header's", () => {
  const constants = headerConstants();
  // Each prefix of the header and the client's object that holds its group;
  // key: how the client names a constant.
  const groups = [
    { prefix: "kCmd", names: client.Commands, key: (_, value) => value },
    { prefix: "kEvt", names: client.Events, key: (_, value) => value },
    { prefix: "kStream", names: client.StreamKinds, key: (_, value) => value },
    { prefix: "kFrameStatus", names: client.FrameStatuses, key: (_, value) => value },
    { prefix: "kAttr", names: client.RoleAttributes, key: upperSnake },
    { prefix: "kShareMemoryOp", names: client.ShareMemoryOps, key: upperSnake },
    { prefix: "kError", names: client.ErrorCodes, key: upperSnake },
  ];
  // Data keys and envelope keys: the declarations' business, checked below.
  const notInTheClient = ["kKey"];

  test("every constant of the header belongs to a group this test knows", () => {
    const known = [...groups.map((g) => g.prefix), ...notInTheClient];
    const unknown = Object.keys(constants).filter((name) => !known.some((prefix) => name.startsWith(prefix)));
    assert.deepEqual(unknown, [], "new kinds of constants in protocol.h: give the client them, and this test");
  });

  for (const { prefix, names, key } of groups) {
    test(`${prefix}...: the same names with the same values`, () => {
      const expected = Object.fromEntries(
        Object.entries(group(constants, prefix)).map(([name, value]) => [key(name, value), value]),
      );
      assert.ok(Object.keys(expected).length > 0, `no ${prefix} constants in protocol.h`);
      assert.deepEqual({ ...names }, expected);
      assert.ok(Object.isFrozen(names));
    });
  }

  test("the error texts, and 'unknown' for any other code", () => {
    const texts = moduleErrorTexts();
    assert.deepEqual([...client.ErrorTexts], texts);
    for (const code of Object.values(client.ErrorCodes)) {
      assert.equal(client.errorText(code), texts[code], `code ${code}`);
    }
    for (const other of [-1, texts.length, 1000, 2.5, "3", undefined]) assert.equal(client.errorText(other), "unknown");
  });
});

// Every interface's members in the declarations: interfaces there describe
// data on the wire only.
function declaredInterfaces() {
  const text = withoutComments(read("web/tallwick-render.d.ts"));
  const interfaces = {};
  for (const [, name, body] of text.matchAll(/\binterface\s+(\w+)[^{]*\{([^{}]*)\}/g)) {
    interfaces[name] = [...body.matchAll(/^\s*(?:readonly\s+)?"?([\w-]+)"?\??\s*:/gm)].map((m) => m[1]);
  }
  assert.ok(Object.keys(interfaces).length > 20, "the declarations' interfaces were not found");
  return interfaces;
}

// Names the module has on the wire: the header's strings and every quoted
// identifier in the code of the roles' folders and of embed/, which builds
// the data they share (their data keys). The protocol's own files are left
// out: the header's strings are taken above, and its error texts are texts.
function moduleNames() {
  const names = new Set(Object.values(headerConstants()).filter((value) => typeof value === "string"));
  for (const folder of ["src/controller", "src/embed", "src/render", "src/gallery"]) {
    for (const file of readdirSync(new URL(folder, root)).filter((f) => /\.(h|cpp)$/.test(f) && !/^protocol\./.test(f))) {
      const code = withoutComments(read(`${folder}/${file}`));
      for (const [, literal] of code.matchAll(/"(_?[A-Za-z][A-Za-z0-9_]*)"/g)) names.add(literal);
    }
  }
  return names;
}

// The document's command table: per column, the commands marked "yes".
function documentedCommands() {
  const lines = read("docs/page-protocol.md").split("\n");
  const header = lines.findIndex((line) => /^\|\s*Command\s*\|\s*Controller\s*\|/.test(line));
  assert.ok(header >= 0, "docs/page-protocol.md has no command table");
  const columns = { controller: [], single: [], gallery: [] };
  for (const line of lines.slice(header + 2)) {
    if (!line.startsWith("|")) break;
    const [command, ...cells] = line.split("|").slice(1, -1).map((cell) => cell.trim());
    Object.values(columns).forEach((list, i) => cells[i] === "yes" && list.push(command.replace(/`/g, "")));
  }
  return columns;
}

describe("the declarations name what the module has", () => {
  const interfaces = declaredInterfaces();

  test("every data key they declare is a name the module has", () => {
    const module = moduleNames();
    const strangers = Object.entries(interfaces).flatMap(([name, keys]) =>
      keys.filter((key) => !module.has(key)).map((key) => `${name}.${key}`),
    );
    assert.deepEqual(strangers, []);
  });

  test("each role's commands are the document's, and every event has its data", () => {
    const documented = documentedCommands();
    const sorted = (list) => [...list].sort();
    assert.deepEqual(sorted(interfaces.ControllerRequests), sorted(documented.controller));
    assert.deepEqual(sorted(interfaces.SingleStreamRequests), sorted(documented.single));
    assert.deepEqual(sorted(interfaces.GalleryRequests), sorted(documented.gallery));
    // The client's own table, which its debug mode judges commands by.
    for (const role of Object.keys(documented)) {
      assert.deepEqual(sorted(client.RoleCommands[role]), sorted(documented[role]), `RoleCommands.${role}`);
    }
    const all = new Set(Object.values(documented).flat());
    assert.deepEqual(sorted(all), sorted(Object.values(client.Commands)));
    assert.deepEqual(sorted(interfaces.EventData), sorted(Object.values(client.Events)));
  });
});
