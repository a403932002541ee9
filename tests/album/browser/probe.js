/*
 * Test probe, added to an album's foot by the browser tests: it acts as a
 * user would (keys, a swipe, the buttons) and reports what the album did to
 * harness.html, which holds the album in a frame of the size under test.
 *
 * Opened on its own (not in a frame) it only notes, on <html>, how long the
 * album took to be ready (data-probe-ready-ms) and to show its first photo
 * (data-probe-slide-ms), in milliseconds since navigation began.
 */
(() => {
  'use strict';

  const root = document.documentElement;
  const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

  // Every picture the page asks for. The browser keeps no resource timing
  // for files read from disk, so the asking is watched instead: an image
  // fetches its picture as soon as its source is set. The player starts
  // after this script has run, so nothing it asks for is missed.
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
      const state = root.getAttribute('data-slide-state');
      if (root.getAttribute('data-player') === 'error') return;
      if (root.getAttribute('data-player') === 'ready' && state !== 'loading') return;
      await pause(50);
    }
  }

  function rectOf(element) {
    const rect = element.getBoundingClientRect();
    return {
      left: Math.round(rect.left), top: Math.round(rect.top + window.scrollY),
      right: Math.round(rect.right), bottom: Math.round(rect.bottom + window.scrollY),
    };
  }

  function nameOf(element) {
    return element.id || element.getAttribute('aria-label') || element.className || element.tagName;
  }

  // Every control, and the slide and its caption, must lie inside the
  // window's width; in the layout arrangement inside its height too, in
  // the stacked one inside the page that scrolls down.
  function geometry() {
    const width = root.clientWidth;
    const height = window.innerHeight;
    const arrangement = root.getAttribute('data-arrangement');
    const outside = [];
    const shown = [...document.querySelectorAll('button, input, #slide, #caption, h1')]
      .filter((element) => element.getClientRects().length > 0);
    for (const element of shown) {
      const rect = rectOf(element);
      const bottomLimit = arrangement === 'stacked' ? root.scrollHeight : height;
      if (rect.left < 0 || rect.top < 0 || rect.right > width || rect.bottom > bottomLimit) {
        outside.push(`${nameOf(element)} ${JSON.stringify(rect)}`);
      }
    }
    const thumb = document.querySelector('.thumb');
    const caption = document.getElementById('caption');
    return {
      arrangement,
      scale: Number(root.getAttribute('data-scale')),
      window: [width, height],
      scrollWidth: root.scrollWidth,
      controls: shown.length,
      outside,
      thumbWidth: thumb ? Math.round(thumb.getBoundingClientRect().width) : 0,
      captionReadable: caption.scrollHeight <= caption.clientHeight + 1 || caption.tabIndex === 0,
    };
  }

  function snapshot(step) {
    const slide = document.getElementById('slide');
    return {
      step,
      index: Number(root.getAttribute('data-slide-index')),
      page: Number(root.getAttribute('data-thumb-page')),
      arrangement: root.getAttribute('data-arrangement'),
      slideshow: root.getAttribute('data-slideshow'),
      slideWidth: slide ? slide.width : 0,
      alt: slide ? slide.alt : '',
      status: document.getElementById('photo-status').textContent,
    };
  }

  function press(key) {
    document.activeElement.dispatchEvent(new KeyboardEvent('keydown', { key, bubbles: true, cancelable: true }));
  }

  function swipe(fromX, toX) {
    const frame = document.getElementById('slide-frame');
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
    await act('ArrowRight', () => press('ArrowRight'));
    await act('ArrowLeft', () => press('ArrowLeft'));
    await act('End', () => press('End'));
    await act('Home', () => press('Home'));
    await act('PageDown', () => press('PageDown'));
    await act('swipe left', () => swipe(200, 60));
    await act('swipe right', () => swipe(60, 200));
    await act('F', () => press('f'));
    await act('Escape', () => press('Escape'));
    await act('full screen button', () => document.getElementById('fullscreen-button').click());
    await act('full screen button again', () => document.getElementById('fullscreen-button').click());
    await act('Space', () => press(' '), 4500);
    await act('slideshow runs on', () => {}, 4500);
    await act('ArrowRight pauses', () => press('ArrowRight'), 4500);
    await act('next button', () => document.getElementById('next-button').click());
    await act('first page button', () => document.getElementById('page-first').click());
    await act('page number typed', () => {
      const field = document.getElementById('page-input');
      field.value = '2';
      field.dispatchEvent(new Event('change', { bubbles: true }));
    });
    return { steps };
  }

  async function resources() {
    // Long enough for anything the first view asks for to be asked for.
    await pause(1500);
    const names = requested.map((name) => decodeURIComponent(name));
    const pick = (folder) => names.filter((name) => name.includes(`${folder}/`))
      .map((name) => name.slice(name.lastIndexOf('/') + 1));
    return { slides: pick('slides'), thumbs: pick('thumbs'), cells: document.querySelectorAll('.thumb').length };
  }

  const scenarios = { geometry: async () => geometry(), interaction, resources };

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
