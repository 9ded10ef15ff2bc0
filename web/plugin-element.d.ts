// Types of plugin-element.js, for TypeScript pages.

export declare const PLUGIN_MIME_TYPE: "application/x-tallwick-render";

// True when this browser runs the module itself.
export declare function hasRealPlugin(): boolean;

// Through `pphost serve`: the pictures the element drew.
export type PluginElementStats = { framesShown: number; firstPresented: number; lastPresented: number; bytes: number };

// <pp-plugin>: a plug-in instance of the module. What the instance posts
// arrives as a "message" event with `data`.
export declare class PluginElement extends HTMLElement {
  postMessage(message: unknown): void;
  readonly canvas: HTMLCanvasElement;
  readonly stats: PluginElementStats;
}

// A new element with these attributes, in this order, not yet in the document.
export declare function createPluginElement(attributes?: Record<string, string>): PluginElement;

declare global {
  interface HTMLElementTagNameMap {
    "pp-plugin": PluginElement;
  }
}
