// Runs on the game's page. Every session is recorded (the game's own
// --record, into its file system, never uploaded); when a level ends, its
// exit reached or the last life lost, the page offers the run: watch it
// again, download it (a demo file the desktop's --playdemo plays to the
// same pictures) or share it as a link (web/link.js). A level run (Run, in
// the page's list of levels: index.html#play=N, or a custom level's link)
// begins on its level with a fresh heroine and is timed: the passes from
// Start to the exit, at the game's pace of 4.5 ms a pass, the same on every
// machine. The best run of each level, and of each custom level by its
// map's checksum, is kept in the browser (localStorage).
//
// index.html#run=<data> watches a run from a link, and index.html#watch
// one handed over by this page (sessionStorage): played back at the
// game's pace (--playdemo) under a banner, with pause, a pass at a time
// and double speed; Escape, a tap on the picture or "Play yourself" end it
// and hand the game to the player at the title menu, as a run whose keys
// run out does. What a link holds is read by the game's own demo reader;
// nothing of it is put into the page but as text. Loaded after page.js and
// level.js.
'use strict';

(function () {
  const Module = window.Module;  // none when the browser cannot run the game
  if (!Module) return;
  const $ = (id) => document.getElementById(id);
  const PASSES_PER_SECOND = 1000 / 4.5;
  const BEST = 'kestravale-best-runs';
  const NAME = 'kestravale-run-name';
  const seconds = (passes) => (passes / PASSES_PER_SECOND).toFixed(2);
  const link = import('./link.js');
  const hash = location.hash;
  const watchLink = /^#run=(.*)$/s.exec(hash);
  const watching = !!watchLink || hash === '#watch';
  const playLevel = /^#play=([123])$/.exec(hash);

  function store(kind) {
    try {
      return window[kind];
    } catch (e) {
      return null;
    }
  }
  function readBest() {
    try {
      return JSON.parse(store('localStorage').getItem(BEST) || '{}') || {};
    } catch (e) {
      return {};
    }
  }
  function toBase64(bytes) {
    let s = '';
    for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(s);
  }
  function fromBase64(text) {
    return Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
  }
  // What a run's text says of itself: its level, the custom map it was made
  // on, and the name it is signed with (a comment line, "# run by NAME").
  function describe(text) {
    const level = /^level ([123])\s*$/m.exec(text);
    const map = /^map ([123]) ([0-9a-fA-F]{8}) (.*)$/m.exec(text);
    const name = /^# run by (.*)$/m.exec(text);
    return { level: level ? Number(level[1]) : 0, checksum: map ? map[2].toLowerCase() : '',
             title: map ? map[3].trim() : '', name: name ? name[1].trim() : '' };
  }
  function playerName() {
    const name = $('run-name').value.replace(/[\x00-\x1f#]/g, ' ').trim().slice(0, 40);
    try {
      store('localStorage').setItem(NAME, name);
    } catch (e) { /* not kept */ }
    return name;
  }
  // The run signed with the player's name, after its first statement.
  function signed(text) {
    const name = playerName();
    const plain = text.replace(/^# run by .*\n/m, '');
    return name ? plain.replace(/^(kestravale demo 1\n)/m, `$1# run by ${name}\n`) : plain;
  }
  function watch(text, level) {
    try {
      store('sessionStorage').setItem('kestravale-watch', JSON.stringify({ text, level: level ? toBase64(level) : null }));
    } catch (e) {
      $('run-share-text').textContent = 'This browser keeps nothing for the page: the run cannot be watched here.';
      $('run-share-text').hidden = false;
      return;
    }
    location.hash = '#watch';
    location.reload();
  }
  function save(contents, name) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([contents], { type: 'text/plain' }));
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 1000);
  }
  // A custom level's run is named after the level, whose own file the
  // desktop needs beside it (kestravale --level FILE --playdemo RUN).
  const fileTitle = (about) => about.title.toLowerCase().replace(/[^a-z0-9]+/g, '-').replace(/^-|-$/g, '') || 'custom';
  function download(text, about) {
    const base = about.checksum ? `kestravale-${fileTitle(about)}` : about.level ? `kestravale-level${about.level}` : '';
    save(signed(text), base ? `${base}-run.txt` : 'kestravale-session.txt');
  }
  function downloadLevel(level, about) {
    save(level, `kestravale-${fileTitle(about)}.txt`);
  }
  async function share(text, level, say, field) {
    field.hidden = true;  // no older link stands while this one is packed
    const l = await link;
    const data = await l.encodeRun(new TextEncoder().encode(signed(text)), level);
    say.hidden = false;
    if (data.length > l.RUN_LINK_MAX) {
      say.textContent = `This run is too long for a link: it makes ${data.length} characters, and a link holds ` +
                        `at most ${l.RUN_LINK_MAX}. Download it instead.`;
      return;
    }
    field.value = location.href.replace(/#.*$/s, '') + l.fragment(data, l.RUN_KEY);
    field.hidden = false;
    field.select();
    say.textContent = 'The run\'s link is below.';
    try {
      await navigator.clipboard.writeText(field.value);
      say.textContent = 'The run\'s link is copied, and below.';
    } catch (e) { /* shown below only */ }
  }
  function offer(text, level, about) {
    $('run-watch').onclick = () => watch(text, level);
    $('run-download').onclick = () => download(text, about);
    $('run-download-level').onclick = () => downloadLevel(level, about);
    $('run-share').onclick = () => share(text, level, $('run-share-text'), $('run-link'));
    for (const id of ['run-watch', 'run-download', 'run-share']) $(id).hidden = false;
    $('run-download-level').hidden = !level;
    $('run-share-text').hidden = true;
    $('run-link').hidden = true;
    $('run-result').hidden = false;
    $('runs-open').classList.add('new');
  }
  // The sheet of runs on a touch screen.
  $('runs-open').onclick = () => {
    document.documentElement.classList.add('runs-open');
    $('runs-open').classList.remove('new');
  };
  $('runs-close').onclick = () => document.documentElement.classList.remove('runs-open');

  // --- The levels' list and their best runs ---
  function button(text, action) {
    const b = document.createElement('button');
    b.textContent = text;
    b.onclick = action;
    return b;
  }
  function showLevels() {
    const table = $('run-levels');
    table.replaceChildren();
    const best = readBest();
    const rows = [1, 2, 3].map((n) => [String(n), `Level ${n}`, n]);
    for (const key of Object.keys(best)) if (/^map-/.test(key)) rows.push([key, best[key].title || 'A custom level', 0]);
    for (const [key, label, n] of rows) {
      const tr = table.insertRow();
      tr.insertCell().textContent = label;
      const b = best[key];
      tr.insertCell().textContent = b ? `best ${seconds(b.pass)} s (pass ${b.pass})` : 'no run yet';
      const cell = tr.insertCell();
      if (n) cell.append(button('Run', () => { location.hash = `#play=${n}`; location.reload(); }));
      if (b) {
        const level = b.level ? fromBase64(b.level) : null;
        const say = document.createElement('p'), field = document.createElement('input');
        say.hidden = field.hidden = true;
        field.readOnly = true;
        cell.append(button('Watch', () => watch(b.text, level)), button('Share', () => share(b.text, level, say, field)), say, field);
      }
    }
  }

  // A level run to its exit is kept if it is the level's first or beats
  // the best by a pass or more.
  function keepIfBest(text, level, about, pass) {
    const key = about.checksum ? 'map-' + about.checksum : String(about.level);
    const best = readBest();
    if (best[key] && best[key].pass <= pass) return ` The best is ${seconds(best[key].pass)} s.`;
    best[key] = { pass, text, level: level ? toBase64(level) : null, title: about.title };
    try {
      store('localStorage').setItem(BEST, JSON.stringify(best));
    } catch (e) {
      return ' (This browser keeps nothing: the best is not kept.)';
    }
    return ' Your best.';
  }

  // --- Watching ---
  let lastLine = '';
  if (watching) {
    const printErr = Module.printErr;
    Module.printErr = (text) => {
      if (/^kestravale: /.test(text)) lastLine = text.replace(/^kestravale: /, '');
      printErr(text);
    };
    // The game refuses a run it cannot play in one line, and ends.
    const refused = (status) => status && lastLine &&
      (refuse('This run cannot be watched: ' + lastLine.replace(/^\/run\.txt: /, '') + '.'), true);
    const quit = Module.quit, ended = Module.kvEnded;
    Module.quit = (status, toThrow) => {
      if (!refused(status)) quit(status, toThrow);
      throw toThrow;
    };
    Module.kvEnded = (status) => refused(status) || ended(status);
  }
  function refuse(text) {
    $('message').textContent = text;
    $('message').hidden = false;
    $('overlay').hidden = true;
    $('watch-bar').hidden = true;
  }
  function stopWatching() {
    if (!$('watch-bar').hidden) Module._kv_run_stop();
  }
  function setUpWatching() {
    let files = null, release = null;
    Module.preRun.push(() => {
      const write = () => {
        FS.writeFile('/run.txt', files.run);
        if (files.level) FS.writeFile('/custom.lvl', files.level);
      };
      if (files) write();
      else {
        Module.addRunDependency('run');
        release = () => {
          write();
          Module.removeRunDependency('run');
        };
      }
    });
    const got = watchLink
      ? link.then((l) => l.decodeRun(watchLink[1]))
      : Promise.resolve().then(() => {
        const kept = JSON.parse(store('sessionStorage').getItem('kestravale-watch') || 'null');
        if (!kept) throw new Error('There is no run here to watch: runs are watched from their links.');
        return { run: new TextEncoder().encode(kept.text), level: kept.level ? fromBase64(kept.level) : null };
      });
    got.then((f) => {
      const about = describe(new TextDecoder().decode(f.run));
      Module.arguments.push('--playdemo', '/run.txt');
      if (f.level) Module.arguments.push('--level', '/custom.lvl');
      const whose = about.name ? `${about.name}'s run` : 'A run';
      const where = about.title ? `"${about.title}" (level ${about.level || '?'})` : about.level ? `level ${about.level}` : 'the whole game, from its title menu';
      $('watch-title').textContent = `${whose} on ${where}`;
      $('watch-time').textContent = 'Playing at the game\'s pace.';
      $('watch-bar').hidden = false;
      files = f;
      if (release) release();
    }).catch((e) => refuse(e.message));

    const pause = $('watch-pause'), step = $('watch-step'), fast = $('watch-fast');
    pause.onclick = () => {
      const paused = pause.getAttribute('aria-pressed') !== 'true';
      pause.setAttribute('aria-pressed', String(paused));
      pause.textContent = paused ? 'Play' : 'Pause';
      step.disabled = !paused;
      Module._kv_run_pause(paused ? 1 : 0);
    };
    step.onclick = () => Module._kv_run_step();
    fast.onclick = () => {
      const on = fast.getAttribute('aria-pressed') !== 'true';
      fast.setAttribute('aria-pressed', String(on));
      Module._kv_run_speed(on ? 2 : 1);
    };
    $('watch-stop').onclick = stopWatching;
    $('screen').addEventListener('pointerdown', stopWatching);
    window.addEventListener('keydown', (e) => {
      if (e.key !== 'Escape' || $('watch-bar').hidden) return;
      e.preventDefault();
      e.stopImmediatePropagation();
      stopWatching();
    }, true);
  }

  // --- The page ---
  let reported = false;
  Module.kvLevelEnded = (exitReached, level, pass, skipped, tail) => {
    if (!$('watch-bar').hidden) {
      if (!reported)
        $('watch-time').textContent = exitReached
          ? `Level ${level}: exit reached on pass ${pass}, ${seconds(pass)} s at the game's pace.`
          : `Level ${level}: game over on pass ${pass}.`;
      reported = true;
      return;
    }
    if (watching) return;
    let text;
    try {
      text = FS.readFile('/session.txt', { encoding: 'utf8' }) + tail;
    } catch (e) {
      return;  // nothing recorded
    }
    const about = describe(text);
    const levelFile = about.checksum ? FS.readFile('/custom.lvl') : null;
    const timed = !reported && about.level === level && exitReached && !skipped;
    reported = true;
    let said = exitReached ? `Level ${level}: exit reached` : `Level ${level}: game over`;
    if (timed) said += ` on pass ${pass}, ${seconds(pass)} s at the game's pace.` + keepIfBest(text, levelFile, about, pass);
    else if (exitReached && skipped) said += ' with key 3: not timed.';
    else said += '.';
    $('run-result-text').textContent = said;
    offer(text, levelFile, about);
    showLevels();
  };
  Module.kvWatchEnded = () => {
    $('watch-bar').hidden = true;
    $('run-result-text').textContent = (reported ? $('watch-time').textContent + ' ' : '') +
      'The run has ended: the game is yours, at the title menu.';
    $('run-result').hidden = false;
    for (const id of ['run-watch', 'run-download', 'run-download-level', 'run-share']) $(id).hidden = true;
  };

  try {
    $('run-name').value = store('localStorage').getItem(NAME) || '';
  } catch (e) { /* none kept */ }
  $('runs').hidden = false;
  showLevels();
  if (watching) setUpWatching();
  else {
    Module.arguments.push('--record', '/session.txt');
    if (playLevel) Module.arguments.push('--level-run', playLevel[1]);
  }
})();
