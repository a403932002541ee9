// Added to an album's foot: in harness.html's frame it acts as a user would
// and reports what the album did. Opened on its own (bench/album-open) it only
// notes on <html> when the album was ready and showed its first photo.
(() => {
  'use strict';

  const root = document.documentElement;
  const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
  const byId = (id) => document.getElementById(id);

  // Every picture the page asks for: the browser keeps no resource timing for
  // files read from disk, so the setting of image sources is watched.
  const requested = [];
  const source = Object.getOwnPropertyDescriptor(HTMLImageElement.prototype, 'src');
  Object.defineProperty(HTMLImageElement.prototype, 'src', {
    get() { return source.get.call(this); },
    set(value) { requested.push(String(value)); source.set.call(this, value); },
  });
  const setAttribute = Element.prototype.setAttribute;
  Element.prototype.setAttribute = function (name, value) {
    if (this instanceof HTMLImageElement && String(name).toLowerCase() === 'src') requested.push(String(value));
    return setAttribute.call(this, name, value);
  };

  document.addEventListener('DOMContentLoaded', () => {
    root.setAttribute('data-probe-ready-ms', performance.now().toFixed(1));
  });
  const watch = new MutationObserver(() => {
    if (root.getAttribute('data-slide-state') === 'loaded') {
      root.setAttribute('data-probe-slide-ms', performance.now().toFixed(1));
      watch.disconnect();
    }
  });
  watch.observe(root, { attributes: true, attributeFilter: ['data-slide-state'] });

  if (window.parent === window) return;

  async function settled() {
    for (let waited = 0; waited < 10000; waited += 50) {
      if (root.getAttribute('data-player') === 'error') return;
      if (root.getAttribute('data-player') === 'ready' && root.getAttribute('data-slide-state') !== 'loading') return;
      await pause(50);
    }
  }

  // What lies outside the window (the stacked arrangement scrolls down), what
  // the first view shows and the pictures it asked for.
  async function geometry() {
    await pause(1500);
    const arrangement = root.getAttribute('data-arrangement');
    const bottomLimit = arrangement === 'stacked' ? root.scrollHeight : window.innerHeight;
    const shown = [...document.querySelectorAll('button, input, #slide, #caption, h1')]
      .filter((element) => element.getClientRects().length > 0);
    const outside = [];
    for (const element of shown) {
      const box = element.getBoundingClientRect();
      const rect = [box.left, box.top + window.scrollY, box.right, box.bottom + window.scrollY].map(Math.round);
      if (rect[0] < 0 || rect[1] < 0 || rect[2] > root.clientWidth || rect[3] > bottomLimit) {
        const name = element.id || element.getAttribute('aria-label') || element.className || element.tagName;
        outside.push(`${name} ${rect}`);
      }
    }
    const names = requested.map((name) => decodeURIComponent(name));
    const pick = (folder) => names.filter((name) => name.includes(`${folder}/`))
      .map((name) => name.slice(name.lastIndexOf('/') + 1));
    const thumb = document.querySelector('.thumb');
    const caption = byId('caption');
    return {
      arrangement,
      scale: Number(root.getAttribute('data-scale')),
      sideways: root.scrollWidth > root.clientWidth,
      controls: shown.length,
      outside,
      thumbWidth: thumb ? Math.round(thumb.getBoundingClientRect().width) : 0,
      captionReadable: caption.scrollHeight <= caption.clientHeight + 1 || caption.tabIndex === 0,
      title: byId('album-title').textContent,
      slide: byId('slide').getAttribute('src'),
      caption: byId('caption-text').textContent,
      markup: byId('caption-text').children.length,
      cells: document.querySelectorAll('.thumb').length,
      slides: pick('slides'),
      thumbs: pick('thumbs'),
    };
  }

  function snapshot(step) {
    const state = ['data-slide-index', 'data-thumb-page', 'data-arrangement', 'data-slideshow']
      .map((name) => root.getAttribute(name)).join(' ');
    return { step: `${step}: ${state}`, width: byId('slide').width, alt: byId('slide').alt,
      status: byId('photo-status').textContent };
  }

  function press(key) {
    document.activeElement.dispatchEvent(new KeyboardEvent('keydown', { key, bubbles: true, cancelable: true }));
  }

  function swipe(fromX, toX) {
    const frame = byId('slide-frame');
    const rect = frame.getBoundingClientRect();
    const y = rect.top + rect.height / 2;
    const pointer = { pointerId: 7, pointerType: 'touch', bubbles: true, isPrimary: true, clientY: y };
    frame.dispatchEvent(new PointerEvent('pointerdown', { ...pointer, clientX: rect.left + fromX }));
    frame.dispatchEvent(new PointerEvent('pointerup', { ...pointer, clientX: rect.left + toX }));
  }

  async function interaction() {
    const steps = [snapshot('start')];
    const act = async (step, action, wait = 0) => {
      action();
      await pause(wait);
      steps.push(snapshot(step));
    };
    for (const key of ['ArrowRight', 'ArrowLeft', 'End', 'Home', 'PageDown']) await act(key, () => press(key));
    await act('swipe left', () => swipe(200, 60));
    await act('swipe right', () => swipe(60, 200));
    await act('F', () => press('f'));
    await act('Escape', () => press('Escape'));
    await act('full screen button', () => byId('fullscreen-button').click());
    await act('full screen button again', () => byId('fullscreen-button').click());
    await act('Space', () => press(' '), 4500);
    await act('slideshow runs on', () => {}, 4500);
    await act('ArrowRight pauses', () => press('ArrowRight'), 4500);
    await act('next button', () => byId('next-button').click());
    await act('first page button', () => byId('page-first').click());
    await act('page number typed', () => {
      byId('page-input').value = '2';
      byId('page-input').dispatchEvent(new Event('change', { bubbles: true }));
    });
    return { steps };
  }

  const scenarios = { geometry, interaction };

  window.addEventListener('message', async (event) => {
    if (event.source !== window.parent || !event.data || !scenarios[event.data.scenario]) return;
    await settled();
    let report;
    try {
      report = await scenarios[event.data.scenario]();
    } catch (error) {
      report = { error: String(error && error.stack || error) };
    }
    report.player = root.getAttribute('data-player');
    window.parent.postMessage(report, '*');
  });
  window.parent.postMessage('probe-waiting', '*');
})();
