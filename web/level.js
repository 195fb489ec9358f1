// A level from a link, for the game's page: index.html#level=<data>
// (web/link.js) plays that level at once. The level file is written into
// the game's file system before it starts, and the game is started with
// --level /custom.lvl --level-run N, so Start is chosen for the player on
// the level the map is for. A link that is damaged or holds no level is
// refused in plain words and the game does not start. Given a level inside
// the editor's play-test (a page of the same site around it), Escape goes
// back to the editor. Loaded after page.js.
'use strict';

(function () {
  // A level link followed from this page (its list of more levels) changes
  // only the fragment: start again, on that level.
  window.addEventListener('hashchange', () => {
    if (/^#level=/.test(location.hash)) location.reload();
  });
  const Module = window.Module;  // none when the browser cannot run the game
  const m = /^#level=(.*)$/s.exec(location.hash);
  if (!m) return;
  let inEditor = false;
  try {
    inEditor = window.parent !== window && window.parent.location.origin === location.origin;
  } catch (e) {
    inEditor = false;
  }
  if (inEditor)
    window.addEventListener('keydown', (e) => {
      if (e.key !== 'Escape') return;
      e.preventDefault();
      e.stopImmediatePropagation();
      window.parent.postMessage({ kestravale: 'back' }, location.origin);
    }, true);
  if (!Module) return;

  function refuse(text) {
    const message = document.getElementById('message');
    message.textContent = text;
    message.hidden = false;
    document.getElementById('overlay').hidden = true;
  }
  let file = null, release = null;
  Module.preRun.push(() => {
    if (file) FS.writeFile('/custom.lvl', file);
    else {
      Module.addRunDependency('level');
      release = () => {
        FS.writeFile('/custom.lvl', file);
        Module.removeRunDependency('level');
      };
    }
  });
  Promise.all([import('./link.js'), import('./levelfile.js'), fetch('editor-data.json').then((r) => r.json())])
    .then(async ([link, levelFile, data]) => {
      const bytes = await link.decodeLevel(m[1]);
      const level = levelFile.readLevel(bytes, data);
      Module.arguments.push('--level', '/custom.lvl', '--level-run', String(level.level));
      file = bytes;
      document.title = level.title + ' by ' + level.author + ' - Kestra Vale';
      if (release) release();
    })
    .catch((e) => refuse('This level cannot be played: ' + e.message + (/[.]$/.test(e.message) ? '' : '.')));
})();
